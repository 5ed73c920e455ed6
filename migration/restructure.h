#pragma once

#include "log/folderconversion.h"

#include <QString>
#include <QStringList>

#include <functional>

// Turns a character folder's legacy INI files (paths in listing order) into
// current descriptions; returns plain log lines.
using LegacyConverter = std::function<QStringList(const QStringList &iniPaths)>;

// Told before each character folder: how many are done, how many were found,
// and the folder's name.
using ProgressReporter = std::function<void(int done, int total, const QString &folderName)>;

// What a caller may watch and steer during a walk. Every member is optional.
struct WalkHooks
{
    ProgressReporter progress;
    // Handed each character folder's log lines as soon as that folder is done.
    std::function<void(const QStringList &folderLog)> folderDone;
    // Asked between two character folders; true ends the walk there, so no
    // folder is ever left half migrated.
    std::function<bool()> stopRequested;
};

// How far a walk came: `done` of `total` character folders were migrated;
// `stopped` when a stop request ended it early.
struct WalkOutcome
{
    int done = 0;
    int total = 0;
    bool stopped = false;
};

// The whole migration of the client below the current folder: every
// sub-folder of "base/characters" is converted, then rearranged into the
// current layout. Returns the run's log list; it is empty exactly when no
// character folder was found.
QStringList restructureCharacterFolders(
    const LegacyConverter &convert, const WalkHooks &hooks, WalkOutcome *outcome = nullptr);
QStringList restructureCharacterFolders(
    const LegacyConverter &convert, const ProgressReporter &progress = {});
// The same walk with a conversion that reads each folder before it changes
// anything: on a disk, the next folder is read on a second thread while the
// current one is changed, with the same outcome.
QStringList restructureCharacterFolders(
    const ConversionReader &read, const WalkHooks &hooks, WalkOutcome *outcome = nullptr);

// The line that closes the log of a walk that was stopped early.
QString stoppedLine(const WalkOutcome &outcome);

// The log list as one text: lines joined with line feeds.
QString joinLog(const QStringList &log);
