#pragma once

#include <QByteArray>
#include <QString>

// The client's top folder a user probably meant when `folder` holds no
// character folders but is one level off: a "base" folder, a "characters"
// folder, or a character folder. Empty when nothing fits.
QString probableClientFolder(const QString &folder);
// Whether `folder` is a client's top folder: it holds "base/characters".
bool holdsCharacters(const QString &folder);

// Why a folder whose path has the bytes `native` cannot be a client, or empty
// when it can: a path that is not valid UTF-8 cannot be named truly in the
// log, the journal or the window, so such a client is refused, not migrated
// under a name that is not its own.
QString untextualPath(const QByteArray &native);
// The bytes the user wrote for the argument that reads as `argument`, as the
// system passed them (the text of a path that is not valid UTF-8 has lost them).
QByteArray nativeArgument(int argc, char **argv, const QString &argument);
// The current folder's path, as the system gives it.
QByteArray nativeCurrentFolder();
