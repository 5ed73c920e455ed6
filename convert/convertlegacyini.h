#pragma once

#include "model/legacyemote.h"

#include <QList>
#include <QString>
#include <QStringList>

// Maps one legacy INI description of a character folder onto `emotes`
// (cleared first): its [Emotions] lines with their [Sound] or [SoundN] and
// [SoundT] entries, ordered by key, with icons and sounds checked. When the
// character has no "data/actor.json" yet, the description's [Options] create
// it. A file with a [scenario] section goes to readScenarioIni instead.
// Returns error lines: a file that cannot be read creates nothing, and an
// actor data file that cannot be written is named with the reason.
QStringList convertLegacyIni(QList<CsActor::LegacyEmote> &emotes, const QString &path);
