#pragma once

#include <QString>

// Where the window program migrates: the folder it was started in, until the
// user names another.

// True when base/characters below `client` holds at least one character
// folder, as the walk lists them.
bool holdsCharacterFolders(const QString &client);

// The number of character folders below `client`, as the walk lists them.
int characterFolderCount(const QString &client);

// Asks for the client's top folder with a folder chooser, starting in
// `start` with its entry `selected` (a name) selected, when given; the chosen
// folder, or empty when the user cancels.
QString chooseFolder(const QString &start, const QString &selected = QString());
