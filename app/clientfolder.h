#pragma once

// Where the window program migrates. It works on the process's current
// folder; started elsewhere (a desktop menu starts it in the home folder), it
// asks the user for the client's top folder.

// True when base/characters below the current folder holds at least one
// character folder, as the walk lists them.
bool holdsCharacterFolders();

// Asks for the client's top folder with a folder chooser and makes it the
// current folder. False, changing nothing, when the user cancels.
bool chooseClientFolder();
