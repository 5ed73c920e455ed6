#pragma once

#include <QString>

// Prints one line a journal of the client `folder`, newest first: its name,
// when it started, whether it records a run or an undo, how many changes,
// and what became of it. Returns the exit status.
int printJournals(const QString &folder);
