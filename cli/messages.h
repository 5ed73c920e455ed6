#pragma once

#include <QString>

// The headless program's exit status, as its help text tells it.
enum ExitCode {
    Clean = 0,
    ErrorsLogged = 1,
    UsageError = 2,
    ClientBusy = 3,
    NothingToUndo = 4,
};

// Text from a client, a journal or the command line, as it may reach each
// stream: shown safely where the stream is a terminal, as it is elsewhere.
QString onStdout(const QString &text);
QString onStderr(const QString &text);

// A folder or path that cannot be worked on: nothing was changed.
int refused(const QString &message);
int usageError(const QString &message);

// Where no character folder was found in `client`: names the folder looked
// in and the client probably meant, on standard error.
void tellNoCharacters(const QString &client);

// Whether `folder`, a folder given to the program or the current one, is no
// client (it holds no "base/characters"); then it was told on standard error,
// as tellNoCharacters does. A path that is no folder is left to the caller.
bool notAClient(const QString &folder);

// "1 move", "2 moves".
QString plural(int count, const char *one, const char *many);
