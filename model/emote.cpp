#include "model/emote.h"

#include "model/jsonobjectbuilder.h"
#include "model/jsonread.h"
#include "model/keyname.h"

namespace CsActor {

namespace {

template<typename Record> struct Switch
{
    const char *identifier;
    bool Record::*member;
};

const Switch<EmoteRules> emoteSwitches[] = {
    {"PlayAnim", &EmoteRules::play_anim},
    {"AnimIsMovie", &EmoteRules::anim_is_movie},
    {"Speakthrough", &EmoteRules::speakthrough},
    {"HideScene", &EmoteRules::hide_scene},
    {"DisableScene", &EmoteRules::disable_scene},
    {"HideOverlayDuringAnim", &EmoteRules::hide_overlay_during_anim},
    {"BackIsZoom", &EmoteRules::back_is_zoom},
    {"HideDialogEmote", &EmoteRules::hide_dialog_emote},
    {"HideActor", &EmoteRules::hide_actor},
    {"PlayFlash", &EmoteRules::play_flash},
    {"PlayShake", &EmoteRules::play_shake},
    {"MirrorH", &EmoteRules::mirror_h},
    {"MirrorV", &EmoteRules::mirror_v},
};

const Switch<OverlayRules> overlaySwitches[] = {
    {"MirrorH", &OverlayRules::mirror_h},
    {"MirrorV", &OverlayRules::mirror_v},
    {"NoSound", &OverlayRules::no_sound},
};

template<typename Record, size_t N>
Record readSwitches(const QJsonObject &object, const Switch<Record> (&switches)[N])
{
    Record record;
    for (const Switch<Record> &entry : switches)
        record.*entry.member = JsonRead::flag(object.value(keyName(QLatin1String(entry.identifier))));
    return record;
}

template<typename Record, size_t N>
QJsonObject writeSwitches(const Record &record, const Switch<Record> (&switches)[N])
{
    JsonObjectBuilder builder;
    for (const Switch<Record> &entry : switches)
        insertIfSet(builder, keyName(QLatin1String(entry.identifier)), record.*entry.member);
    return builder.object();
}

QString key(const char *identifier, bool dotted = false)
{
    return keyName(QLatin1String(identifier), dotted);
}

} // namespace

EmoteRules EmoteRules::fromJson(const QJsonObject &object)
{
    return readSwitches(object, emoteSwitches);
}

QJsonObject EmoteRules::toJson() const
{
    return writeSwitches(*this, emoteSwitches);
}

OverlayRules OverlayRules::fromJson(const QJsonObject &object)
{
    return readSwitches(object, overlaySwitches);
}

QJsonObject OverlayRules::toJson() const
{
    return writeSwitches(*this, overlaySwitches);
}

SceneLink SceneLink::fromJson(const QJsonObject &object)
{
    SceneLink link;
    link.name = JsonRead::text(object.value(key("Name")));
    link.position_name = JsonRead::text(object.value(key("PositionName")));
    return link;
}

QJsonObject SceneLink::toJson() const
{
    JsonObjectBuilder builder;
    insertIfSet(builder, key("Name"), name);
    insertIfSet(builder, key("PositionName"), position_name);
    return builder.object();
}

OverlayLink OverlayLink::fromJson(const QJsonObject &object)
{
    OverlayLink link;
    link.name = JsonRead::text(object.value(key("Name")));
    link.preset_name = JsonRead::text(object.value(key("PresetName")));
    link.rules = OverlayRules::fromJson(object.value(key("Rules")).toObject());
    return link;
}

QJsonObject OverlayLink::toJson() const
{
    JsonObjectBuilder builder;
    insertIfSet(builder, key("Name"), name);
    insertIfSet(builder, key("PresetName"), preset_name);
    insertIfSet(builder, key("Rules"), rules.toJson());
    return builder.object();
}

Emote Emote::fromJson(const QJsonObject &object)
{
    Emote emote;
    emote.readJson(object);
    return emote;
}

void Emote::readJson(const QJsonObject &object)
{
    rules = EmoteRules::fromJson(object.value(QLatin1String("rules")).toObject());
    display_icon = JsonRead::text(object.value(QLatin1String("display_icon")));
    display_name = JsonRead::text(object.value(QLatin1String("display_name")));
    actor_preset_name = JsonRead::text(object.value(QLatin1String("actor_preset_name")));
    emote_file = JsonRead::text(object.value(QLatin1String("emote_file")));
    emote_anim_file = JsonRead::text(object.value(key("EmoteAnimFile")));
    emote_idle_file = JsonRead::text(object.value(key("EmoteIdleFile")));
    emote_talk_file = JsonRead::text(object.value(key("EmoteTalkFile")));
    sound_file = JsonRead::text(object.value(QLatin1String("sound_file")));
    sound_delay = JsonRead::integer(object.value(QLatin1String("sound_delay")));

    if (object.contains(QLatin1String("scene"))) {
        scene = SceneLink::fromJson(object.value(key("Scene")).toObject());
    } else {
        scene.name = JsonRead::text(object.value(key("Scene.Name", true)));
        scene.position_name = JsonRead::text(object.value(key("Scene.PositionName", true)));
    }
    if (object.contains(QLatin1String("overlay"))) {
        overlay = OverlayLink::fromJson(object.value(key("Overlay")).toObject());
    } else {
        overlay.name = JsonRead::text(object.value(key("Overlay.Name", true)));
        overlay.preset_name = JsonRead::text(object.value(key("Overlay.PresetName", true)));
        overlay.rules = OverlayRules::fromJson(object.value(key("Overlay.Rules", true)).toObject());
    }
    if (!overlay.name.isEmpty())
        anim_overlay_preset_name = JsonRead::text(object.value(QLatin1String("anim_overlay_preset_name")));
}

QJsonObject Emote::toJson() const
{
    JsonObjectBuilder builder;
    insertIfSet(builder, QStringLiteral("rules"), rules.toJson());
    insertIfSet(builder, QStringLiteral("display_icon"), display_icon);
    insertIfSet(builder, QStringLiteral("display_name"), display_name);
    insertIfSet(builder, QStringLiteral("actor_preset_name"), actor_preset_name);
    insertIfSet(builder, QStringLiteral("emote_file"), emote_file);
    insertIfSet(builder, key("EmoteAnimFile"), emote_anim_file);
    insertIfSet(builder, key("EmoteIdleFile"), emote_idle_file);
    insertIfSet(builder, key("EmoteTalkFile"), emote_talk_file);
    insertIfSet(builder, QStringLiteral("sound_file"), sound_file);
    insertIfSet(builder, QStringLiteral("sound_delay"), sound_delay);
    insertIfSet(builder, key("Scene"), scene.toJson());
    insertIfSet(builder, key("Overlay"), overlay.toJson());
    if (!overlay.name.isEmpty())
        insertIfSet(builder, QStringLiteral("anim_overlay_preset_name"), anim_overlay_preset_name);
    return builder.object();
}

} // namespace CsActor
