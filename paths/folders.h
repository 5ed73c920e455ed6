#pragma once

#include "paths/resolvedpath.h"

#include <QLatin1String>

// The client's folder layout, always relative to the process's current folder;
// the executable's own location is never consulted.
namespace FolderNames {
inline const QLatin1String base("base");
inline const QLatin1String characters("characters");
inline const QLatin1String actorDataFile("data/actor.json");
} // namespace FolderNames

ResolvedPath currentFolder();
ResolvedPath baseFolder();
ResolvedPath charactersFolder();
QString charactersFolderPath();
