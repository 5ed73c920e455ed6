#include "convert/tomlvalue.h"
#include "convert/tomlwriter.h"

#include <utility>

namespace {

using CsActor::LegacyEmote;
using CsActor::LegacyEmoteRules;

struct CarriedSwitch
{
    const char *key;
    bool LegacyEmoteRules::*member;
};

// The legacy switches a current emote has too. "hide_back" and "hide_front"
// have no current counterpart and are not written.
const CarriedSwitch carriedSwitches[] = {
    {"play_anim", &LegacyEmoteRules::play_anim},
    {"anim_is_movie", &LegacyEmoteRules::anim_is_movie},
    {"back_is_zoom", &LegacyEmoteRules::back_is_zoom},
    {"hide_dialog_emote", &LegacyEmoteRules::hide_dialog_emote},
    {"play_flash", &LegacyEmoteRules::play_flash},
    {"mirror_h", &LegacyEmoteRules::mirror_h},
    {"mirror_v", &LegacyEmoteRules::mirror_v},
};

void putText(TomlTable &table, const char *key, const QString &text)
{
    if (!text.isEmpty())
        table.emplace(key, text.toStdString());
}

// A current emote as a description writes it: the switches that are on, the
// texts that are not empty, and the sound delay always. A legacy emote has no
// scene, overlay, idle or talking file.
TomlTable emoteTable(const LegacyEmote &emote)
{
    TomlTable table;
    TomlTable rules;
    for (const CarriedSwitch &entry : carriedSwitches) {
        if (emote.rules.*entry.member)
            rules.emplace(entry.key, true);
    }
    if (!rules.empty())
        table.emplace("rules", std::move(rules));
    putText(table, "display_icon", emote.display_icon);
    putText(table, "display_name", emote.display_name);
    putText(table, "actor_preset_name", emote.actor_preset_name);
    putText(table, "emote_file", emote.emote_file);
    putText(table, "emote_anim_file", emote.emote_anim_file);
    putText(table, "sound_file", emote.sound_file);
    table.emplace("sound_delay", std::int64_t(emote.sound_delay));
    return table;
}

} // namespace

QByteArray formatLegacyDescription(const QList<LegacyEmote> &emotes, FileError *error)
{
    TomlArray scenario;
    scenario.reserve(std::size_t(emotes.size()));
    for (const LegacyEmote &emote : emotes)
        scenario.emplace_back(emoteTable(emote));
    TomlTable document;
    if (!scenario.empty())
        document.emplace("scenario", std::move(scenario));
    return formatTomlDocument(document, error);
}
