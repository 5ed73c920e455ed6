#pragma once

#include <QString>

// Where the window program migrates. The walk works on the process's current
// folder; the program makes the client's top folder current before a run.

// True when base/characters below the current folder holds at least one
// character folder, as the walk lists them.
bool holdsCharacterFolders();

// The number of character folders below the current folder, as the walk
// lists them.
int characterFolderCount();

// Asks for the client's top folder with a folder chooser, starting in
// `start`; the chosen folder, or empty when the user cancels.
QString chooseFolder(const QString &start);
