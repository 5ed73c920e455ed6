#pragma once

#include "run/folderconversion.h"

#include <QString>
#include <QStringList>

#include <functional>

class Report;

// Turns a character folder's legacy INI files (paths in listing order) into
// current descriptions, reading and changing in one go; its lines go to the
// run's report.
using LegacyConverter = std::function<void(RunContext &run, const QStringList &iniPaths)>;

// Told before each character folder: how many are done, how many were found,
// and the folder's name.
using ProgressReporter = std::function<void(int done, int total, const QString &folderName)>;

// What a caller may watch during a walk. Every member is optional.
struct WalkHooks
{
    ProgressReporter progress;
    // Told as soon as each character folder is done: its records are the
    // report's from `first` on.
    std::function<void(const Report &report, int first)> folderDone;
};

// How far a walk came: `done` of `total` character folders were migrated;
// `stopped` when a stop request ended it early.
struct WalkOutcome
{
    int done = 0;
    int total = 0;
    bool stopped = false;
};

// The whole migration of the run's client: every sub-folder of
// "base/characters" is converted, then rearranged into the current layout,
// through the run's seam, with every line told to its report (which stays
// empty exactly when no character folder was found). The run's stop request
// is asked between two character folders, so none is left half migrated.
WalkOutcome restructureCharacterFolders(
    RunContext &run, const LegacyConverter &convert, const WalkHooks &hooks = {});
// The same walk with a conversion that reads each folder before it changes
// anything: on a disk, the next folder is read on a second thread while the
// current one is changed, with the same outcome.
WalkOutcome restructureCharacterFolders(
    RunContext &run, const ConversionReader &read, const WalkHooks &hooks = {});

// The line that closes the log of a walk that was stopped early.
QString stoppedLine(const WalkOutcome &outcome);
