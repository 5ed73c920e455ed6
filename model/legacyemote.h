#pragma once

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

namespace CsActor {

// The nine switches of a legacy emotion line. In the number form switch i is
// bit i, in the order of the members.
struct LegacyEmoteRules
{
    bool play_anim = false; // bit 0, "PlayAnim"
    bool anim_is_movie = false; // bit 1, "AnimIsMovie"
    bool back_is_zoom = false; // bit 2, "BackIsZoom"
    bool hide_back = false; // bit 3, "HideBack"
    bool hide_dialog_emote = false; // bit 4, "HideDialogEmote"
    bool hide_front = false; // bit 5, "HideFront"
    bool play_flash = false; // bit 6, "PlayFlash"
    bool mirror_h = false; // bit 7, "MirrorH"
    bool mirror_v = false; // bit 8, "MirrorV"

    // A number is a bit mask, a string goes to parseLegacyRules, an object
    // holds one boolean a switch; anything else sets nothing.
    static LegacyEmoteRules fromJson(const QJsonValue &value);
    static LegacyEmoteRules fromMask(int mask);
    // All nine keys, the switches that are off included.
    QJsonObject toJson() const;
};

// The text form: a decimal mask, or flag names joined by "|" (matched without
// regard to case; the parts are not trimmed).
LegacyEmoteRules parseLegacyRules(const QString &text);

// One emotion of a legacy description on its way to the current format.
struct LegacyEmote
{
    // While a description is mapped, display_icon holds the emotion line's key.
    QString display_icon;
    QString display_name;
    QString actor_preset_name;
    QString emote_file;
    QString emote_anim_file;
    QString sound_file;
    qint32 sound_delay = 0;
    LegacyEmoteRules rules;

    LegacyEmote() = default;
    // From a legacy emotion line: its key and its value split at "#".
    LegacyEmote(const QString &key, const QStringList &parts);

    static LegacyEmote fromJson(const QJsonObject &object);
    QJsonObject toJson() const;
};

// Overwrites the first emote with the same display icon (exact), or appends.
void upsertLegacyEmote(QList<LegacyEmote> &list, const LegacyEmote &emote);

// The order of emotion keys: by their folder part ("a/b/3" has "a/b"),
// lower-cased, then numbered keys by number before keys that are not numbers,
// which keep their order in a stable sort.
bool legacyEmoteLess(const QString &a, const QString &b);
bool legacyEmoteLess(const LegacyEmote &a, const LegacyEmote &b);

// Replaces `list` with the emotes of `array`, in order.
void readLegacyEmotes(QList<LegacyEmote> &list, const QJsonArray &array);

} // namespace CsActor
