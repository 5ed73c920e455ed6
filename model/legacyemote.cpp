#include "model/legacyemote.h"

#include "model/jsonobjectbuilder.h"
#include "model/jsonread.h"
#include "model/keyname.h"

namespace CsActor {

namespace {

struct LegacySwitch
{
    const char *flagName;
    const char *key;
    bool LegacyEmoteRules::*member;
};

// In bit order.
const LegacySwitch legacySwitches[] = {
    {"PlayAnim", "play_anim", &LegacyEmoteRules::play_anim},
    {"AnimIsMovie", "anim_is_movie", &LegacyEmoteRules::anim_is_movie},
    {"BackIsZoom", "back_is_zoom", &LegacyEmoteRules::back_is_zoom},
    {"HideBack", "hide_back", &LegacyEmoteRules::hide_back},
    {"HideDialogEmote", "hide_dialog_emote", &LegacyEmoteRules::hide_dialog_emote},
    {"HideFront", "hide_front", &LegacyEmoteRules::hide_front},
    {"PlayFlash", "play_flash", &LegacyEmoteRules::play_flash},
    {"MirrorH", "mirror_h", &LegacyEmoteRules::mirror_h},
    {"MirrorV", "mirror_v", &LegacyEmoteRules::mirror_v},
};

QString key(const char *identifier)
{
    return keyName(QLatin1String(identifier));
}

} // namespace

LegacyEmoteRules LegacyEmoteRules::fromMask(int mask)
{
    LegacyEmoteRules rules;
    int bit = 0;
    for (const LegacySwitch &entry : legacySwitches)
        rules.*entry.member = (mask >> bit++) & 1;
    return rules;
}

LegacyEmoteRules LegacyEmoteRules::fromJson(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Double:
        return fromMask(JsonRead::integer(value));
    case QJsonValue::String:
        return parseLegacyRules(value.toString());
    case QJsonValue::Object: {
        LegacyEmoteRules rules;
        const QJsonObject object = value.toObject();
        for (const LegacySwitch &entry : legacySwitches)
            rules.*entry.member = JsonRead::flag(object.value(QLatin1String(entry.key)));
        return rules;
    }
    default:
        return {};
    }
}

QJsonObject LegacyEmoteRules::toJson() const
{
    QJsonObject object;
    for (const LegacySwitch &entry : legacySwitches)
        object.insert(QLatin1String(entry.key), this->*entry.member);
    return object;
}

LegacyEmoteRules parseLegacyRules(const QString &text)
{
    bool isNumber = false;
    const int mask = text.toInt(&isNumber, 10);
    if (isNumber)
        return LegacyEmoteRules::fromMask(mask);

    LegacyEmoteRules rules;
    const QStringList words = text.split(QLatin1Char('|'));
    for (const LegacySwitch &entry : legacySwitches)
        rules.*entry.member = words.contains(QLatin1String(entry.flagName), Qt::CaseInsensitive);
    return rules;
}

LegacyEmote::LegacyEmote(const QString &key, const QStringList &parts)
{
    const auto part = [&parts](int i) { return parts.value(i); };
    display_icon = key;
    display_name = part(0);
    emote_anim_file = part(1);
    emote_file = part(2);
    rules = parseLegacyRules(part(3));
    if (emote_file == QLatin1String("invisible"))
        rules.hide_dialog_emote = true;
    if (part(4) == QLatin1String("0"))
        rules.hide_front = true;
    else
        actor_preset_name = part(4);
}

LegacyEmote LegacyEmote::fromJson(const QJsonObject &object)
{
    LegacyEmote emote;
    emote.display_icon = JsonRead::text(object.value(key("DisplayIcon")));
    emote.display_name = JsonRead::text(object.value(key("DisplayName")));
    emote.actor_preset_name = JsonRead::text(object.value(key("ActorPresetName")));
    emote.emote_file = JsonRead::text(object.value(key("EmoteFile")));
    emote.emote_anim_file = JsonRead::text(object.value(key("EmoteAnimFile")));
    emote.sound_file = JsonRead::text(object.value(key("SoundFile")));
    emote.sound_delay = JsonRead::integer(object.value(key("SoundDelay")));
    emote.rules = LegacyEmoteRules::fromJson(object.value(key("Rules")));
    return emote;
}

QJsonObject LegacyEmote::toJson() const
{
    JsonObjectBuilder builder;
    insertIfSet(builder, key("DisplayIcon"), display_icon);
    insertIfSet(builder, key("DisplayName"), display_name);
    insertIfSet(builder, key("ActorPresetName"), actor_preset_name);
    insertIfSet(builder, key("EmoteFile"), emote_file);
    insertIfSet(builder, key("EmoteAnimFile"), emote_anim_file);
    insertIfSet(builder, key("SoundFile"), sound_file);
    insertIfSet(builder, key("SoundDelay"), sound_delay);
    builder.insert(key("Rules"), rules.toJson()); // never empty: all nine keys
    return builder.object();
}

void upsertLegacyEmote(QList<LegacyEmote> &list, const LegacyEmote &emote)
{
    for (LegacyEmote &existing : list) {
        if (existing.display_icon == emote.display_icon) {
            existing = emote;
            return;
        }
    }
    list.append(emote);
}

bool legacyEmoteLess(const QString &a, const QString &b)
{
    const auto split = [](const QString &text, QString &prefix, QString &tail) {
        const int slash = text.lastIndexOf(QLatin1Char('/'));
        prefix = slash < 0 ? QString() : text.left(slash).toLower();
        tail = text.mid(slash + 1);
    };
    QString prefixA, tailA, prefixB, tailB;
    split(a, prefixA, tailA);
    split(b, prefixB, tailB);
    if (prefixA != prefixB)
        return prefixA < prefixB;

    bool aIsNumber = false;
    bool bIsNumber = false;
    const int numberA = tailA.toInt(&aIsNumber, 10);
    const int numberB = tailB.toInt(&bIsNumber, 10);
    if (!aIsNumber)
        return false;
    if (!bIsNumber)
        return true;
    return numberA < numberB;
}

bool legacyEmoteLess(const LegacyEmote &a, const LegacyEmote &b)
{
    return legacyEmoteLess(a.display_icon, b.display_icon);
}

void readLegacyEmotes(QList<LegacyEmote> &list, const QJsonArray &array)
{
    list.clear();
    for (const QJsonValue &element : array)
        list.append(LegacyEmote::fromJson(element.toObject()));
}

} // namespace CsActor
