#pragma once

#include <QString>
#include <QStringList>

#include <functional>

// Turns a character folder's legacy INI files (paths in listing order) into
// current descriptions; returns plain log lines.
using LegacyConverter = std::function<QStringList(const QStringList &iniPaths)>;

// Told before each character folder: how many are done, how many were found,
// and the folder's name.
using ProgressReporter = std::function<void(int done, int total, const QString &folderName)>;

// The whole migration of the client below the current folder: every
// sub-folder of "base/characters" is converted, then rearranged into the
// current layout. Returns the run's log list; it is empty exactly when no
// character folder was found.
QStringList restructureCharacterFolders(
    const LegacyConverter &convert, const ProgressReporter &progress = {});

// The log list as one text: lines joined with line feeds.
QString joinLog(const QStringList &log);
