#pragma once

#include "run/report.h"

#include <QString>

// What a log window's run was, for the lines above its log.
struct RunLogFacts
{
    enum class Kind { Run, Preview, Undo };

    Kind kind = Kind::Run;
    // A run's own journal; for an undo, the journal of the run it took back.
    QString journal;
    bool stopped = false;
    int done = 0; // characters, or an undo's changes
    int total = 0;
    ChangeCounts counts;
    int errors = 0;
};

// The header above the log: what the run was, then its counts.
QString runLogHeading(const RunLogFacts &facts);
// The window's title: the application's name first, then what it shows.
QString runLogTitle(const QString &application, RunLogFacts::Kind kind);
