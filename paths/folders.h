#pragma once

#include <QLatin1String>
#include <QString>

// The client's folder layout, below its top folder; the executable's own
// location is never consulted.
namespace FolderNames {
inline const QLatin1String base("base");
inline const QLatin1String characters("characters");
inline const QLatin1String actorDataFile("data/actor.json");
} // namespace FolderNames

// "CLIENT/base" and "CLIENT/base/characters", as text: nothing is looked up.
QString baseFolderPath(const QString &client);
QString charactersFolderPath(const QString &client);
