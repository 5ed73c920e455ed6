#pragma once

#include "paths/readcontext.h"

#include <QString>
#include <QStringList>

#include <functional>

class FileSystem;
class Report;

// Asked between two steps of a run (character folders, an undo's changes);
// true ends the run there, so no step is left half done.
using StopRequest = std::function<bool()>;

// What one run works with, handed from the program's edge to every step of
// it: the client's top folder, the one seam every read and change goes
// through, the report its lines go to, and the request to stop. A run keeps
// nothing of its own anywhere else, so two runs may go side by side.
struct RunContext
{
    QString client; // absolute, without a trailing "/"
    FileSystem &files;
    Report &report;
    StopRequest stopRequested;
    // The character folders to take, by their names as listed; empty for
    // every one. A name that is not there is passed over.
    QStringList characters;

    bool stopWanted() const { return stopRequested && stopRequested(); }
    ReadContext reading() const { return {files, client}; }
};
