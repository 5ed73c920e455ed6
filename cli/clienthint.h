#pragma once

#include <QString>

// The client's top folder a user probably meant when `folder` holds no
// character folders but is one level off: a "base" folder, a "characters"
// folder, or a character folder. Empty when nothing fits.
QString probableClientFolder(const QString &folder);
