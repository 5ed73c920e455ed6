#pragma once

#include "run/folderconversion.h"

#include <QStringList>

// Converts the legacy INI files of one character folder, in the given order,
// each "name.ini" into "name.toml" beside it, and tells the run's report:
// "Converting %1..." for each file written, "Cannot convert %1, %2 already
// exist." for each whose target is already there. A file that yields no
// emotes gives no line and no description. Never fails: problems show only
// as lines or as files that are not written.
void convertLegacyFiles(RunContext &run, const QStringList &iniPaths);

// The same conversion in its two halves: every file is read, and each
// description laid out, before anything is changed (see FolderConversion).
std::unique_ptr<FolderConversion> prepareLegacyFiles(const ReadContext &client, const QStringList &iniPaths);
