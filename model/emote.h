#pragma once

#include <QJsonObject>
#include <QString>

namespace CsActor {

struct EmoteRules
{
    bool play_anim = false;
    bool anim_is_movie = false;
    bool speakthrough = false;
    bool hide_scene = false;
    bool disable_scene = false;
    bool hide_overlay_during_anim = false;
    bool back_is_zoom = false;
    bool hide_dialog_emote = false;
    bool hide_actor = false;
    bool play_flash = false;
    bool play_shake = false;
    bool mirror_h = false;
    bool mirror_v = false;

    static EmoteRules fromJson(const QJsonObject &object);
    QJsonObject toJson() const; // the switches that are on
};

// The scene an emote shows, and the position in it.
struct SceneLink
{
    QString name;
    QString position_name;

    static SceneLink fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
};

struct OverlayRules
{
    bool mirror_h = false;
    bool mirror_v = false;
    bool no_sound = false;

    static OverlayRules fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
};

struct OverlayLink
{
    QString name;
    QString preset_name;
    OverlayRules rules;

    static OverlayLink fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
};

// One entry of a character's current description.
struct Emote
{
    EmoteRules rules;
    QString display_icon;
    QString display_name;
    QString actor_preset_name;
    QString emote_file;
    QString emote_anim_file;
    QString emote_idle_file;
    QString emote_talk_file;
    QString sound_file;
    qint32 sound_delay = 0;
    SceneLink scene;
    OverlayLink overlay;
    QString anim_overlay_preset_name;

    // A default emote with `object` read over it.
    static Emote fromJson(const QJsonObject &object);
    // Reads `object` over this emote. The scene and overlay come from their
    // nested objects, or from the flat keys when those are absent; the
    // overlay's preset for animations is read only with an overlay name.
    void readJson(const QJsonObject &object);
    // Always the nested form; empty texts, off switches and empty links left out.
    QJsonObject toJson() const;
};

} // namespace CsActor
