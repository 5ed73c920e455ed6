#pragma once

#include <QStringList>

// Converts the legacy INI files of one character folder, in the given order,
// each "name.ini" into "name.toml" beside it, and returns the log lines:
// "Converting %1..." for each file written, "Cannot convert %1, %2 already
// exist." for each whose target is already there. A file that yields no
// emotes gives no line and no description. Never fails: problems show only
// as lines or as files that are not written.
QStringList convertLegacyFiles(const QStringList &iniPaths);
