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

// "1 move", "2 moves".
QString plural(int count, const char *one, const char *many);
