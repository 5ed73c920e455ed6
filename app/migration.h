#pragma once

#include "app/restructure.h"
#include "app/runrecorder.h"

#include <memory>

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

class FileSystem;
class Journal;

// The seam one run works through: the real disk, or a dry run's plan laid
// over it; the journal of a real run; and the recorder that counts changes
// and adds their lines to the log.
class RunSeam
{
public:
    RunSeam(const QString &client, const RunOptions &options);
    ~RunSeam();

    // Starts a real run's journal; false, with the reason in the report, when
    // it cannot be kept (then nothing may be changed). A dry run keeps none.
    bool keepJournal(const QString &undoOf, RunReport &report);
    FileSystem &files() { return *m_files; }
    // Makes the run durable and counts what it changed.
    void finish(RunReport &report);

private:
    QString m_client;
    RunOptions m_options;
    std::unique_ptr<FileSystem> m_files;
    std::unique_ptr<Journal> m_journal;
    RunRecorder m_recorder;
};

// The migration of the client below the current folder, journaled: every
// change goes through one file-system seam, which the journal, the preview
// and the counts watch. A dry run takes every decision of a real one on a
// plan laid over the disk, and changes nothing anywhere. A real run over a
// client with character folders keeps its journal even when it changes
// nothing, and makes all it wrote durable at its end.
RunReport runMigration(const LegacyConverter &convert, const WalkHooks &hooks, const RunOptions &options);
RunReport runMigration(const ConversionReader &read, const WalkHooks &hooks, const RunOptions &options);
