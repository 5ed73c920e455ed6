#pragma once

#include "app/restructure.h"
#include "app/runrecorder.h"

// How a run is to be made.
struct RunOptions
{
    bool dryRun = false; // change nothing; plan on a copy laid over the disk
    ChangeLines lines = ChangeLines::None;
    QString version; // the program's version, for the journal's header
};

// What a run did (or, dry, would do).
struct RunReport
{
    QStringList log;
    WalkOutcome outcome;
    ChangeCounts counts;
    QString journal; // the journal's path; empty for a dry run
    QString failure; // why the run could not start; then nothing was changed
};

// The migration of the client below the current folder, journaled: every
// change goes through one file-system seam, which the journal, the preview
// and the counts watch. A dry run takes every decision of a real one on a
// plan laid over the disk, and changes nothing anywhere. A real run over a
// client with character folders keeps its journal even when it changes
// nothing, and makes all it wrote durable at its end.
RunReport runMigration(const LegacyConverter &convert, const WalkHooks &hooks, const RunOptions &options);
