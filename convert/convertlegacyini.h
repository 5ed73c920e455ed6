#pragma once

#include "model/legacyemote.h"
#include "run/logrecord.h"
#include "run/runcontext.h"
#include "settings/settingfile.h"

#include <QList>
#include <QString>
#include <QStringList>

// Maps one legacy INI description of a character folder onto `emotes`
// (cleared first): its [Emotions] lines with their [Sound] or [SoundN] and
// [SoundT] entries, ordered by key, with icons and sounds checked. When the
// character has no "data/actor.json" yet, the description's [Options] create
// it. A file with a [scenario] section goes to readScenarioIni instead.
// Its error lines go to the run's report: a file that cannot be read creates
// nothing, and an actor data file that cannot be written is named with the
// reason.
void convertLegacyIni(RunContext &run, QList<CsActor::LegacyEmote> &emotes, const QString &path);

// What one legacy INI description holds, read without changing anything:
// its emotes with icons and sounds checked, and the options an actor data
// file would be made from.
struct LegacyIniReading
{
    QList<CsActor::LegacyEmote> emotes;
    QVector<LogRecord> problems; // the file could not be read
    QString folder; // the character, as its folder was listed
    bool makesActorData = false; // a legacy description, read whole
    GsSetting::SettingSection options;
};

// The reading half of convertLegacyIni; changes nothing.
LegacyIniReading readLegacyIni(const ReadContext &client, const QString &path);
// The changing half: the actor data file, when the character has none yet.
// Its error line goes to the run's report.
void makeActorData(RunContext &run, const LegacyIniReading &reading);
