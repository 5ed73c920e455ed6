#pragma once

#include "migration/restructure.h"
#include "migration/runrecorder.h"
#include "run/report.h"

#include <memory>

// How a run is to be made.
struct RunOptions
{
    bool dryRun = false; // change nothing; plan on a copy laid over the disk
    // Keep a record of every change in the report, for a log that shows
    // them; otherwise changes are only counted.
    bool changeRecords = false;
    QString version; // the program's version, for the journal's header
    // The character folders to migrate, by name as listed in
    // "base/characters"; empty for every one. The journal holds only theirs.
    QStringList characters;
};

// Why a run or an undo did not start; then nothing was changed.
enum class RunFailure {
    None,
    Busy, // another run or undo holds the client
    NothingToUndo, // no run is left that an undo could take back
    Other, // the client, its journal folder or the journal cannot be used
};

// What a run did (or, dry, would do).
struct RunReport
{
    Report log; // every line as a record, with the counts
    WalkOutcome outcome;
    QString journal; // the journal's path; empty for a dry run
    bool undo = false; // the report of an undo
    QString failure; // why the run could not start; then nothing was changed
    RunFailure failureKind = RunFailure::None;

    int errors() const { return log.errors(); }
    ChangeCounts counts() const { return log.counts(); }
    // The journal an undo could take back: a real run's that changed
    // something. Empty for a dry run, a run that could not start, one that
    // changed nothing, and an undo, whose own journal is never undone. Both
    // programs offer an undo by this alone.
    QString undoableJournal() const
    {
        return !undo && failure.isEmpty() && counts().any() ? journal : QString();
    }

    void fail(RunFailure kind, const QString &reason)
    {
        failureKind = kind;
        failure = reason;
    }
};

class ClientRoot;
class FileSystem;
class Journal;

// How far a seam keeps to its client.
enum class Reach {
    Links, // links are followed where they lead, as a migration always has
    Client, // nothing outside the client is ever reached: what an undo needs
};

// The seam one run works through: the client's top folder, held open and
// locked; the real disk, or a dry run's plan laid over it; the journal of a
// real run; and the recorder that tells every change to the run's report.
class RunSeam
{
public:
    RunSeam(const QString &client, const RunOptions &options, Report &report, Reach reach = Reach::Links);
    ~RunSeam();

    // Opens and locks the client. False, with the reason in the report, when
    // it cannot: then nothing may be changed.
    bool open(RunReport &report);
    // Checks the client's journal folder and, for a real run, starts the
    // journal (`undoOf` names the journal an undo reverses). False, with the
    // reason in the report, when it cannot be kept: then nothing may be changed.
    bool keepJournal(const QString &undoOf, RunReport &report);
    FileSystem &files() { return *m_files; }
    // What every step of the run is handed: the client, this seam, the
    // report and the stop request.
    RunContext context(const StopRequest &stop) { return {m_client, *m_files, m_report, stop, {}}; }
    const ClientRoot &client() const { return *m_root; }
    // Closes the journal, makes the run durable and counts what it changed;
    // an undo says how many changes it `left` as they were.
    void finish(RunReport &report, int left = -1);

private:
    QString m_client;
    RunOptions m_options;
    std::unique_ptr<ClientRoot> m_root;
    std::unique_ptr<FileSystem> m_files;
    std::unique_ptr<Journal> m_journal;
    Report &m_report;
    RunRecorder m_recorder;
};

// The migration of the client whose top folder is `client`, journaled:
// every change goes through one file-system seam, which the journal, the
// preview and the counts watch. A dry run takes every decision of a real one
// on a plan laid over the disk, and changes nothing anywhere. A real run over
// a client with character folders keeps its journal even when it changes
// nothing, and makes all it wrote durable at its end. `stop` is asked
// between two character folders.
RunReport runMigration(const QString &client, const LegacyConverter &convert, const RunOptions &options,
    const WalkHooks &hooks = {}, const StopRequest &stop = {});
RunReport runMigration(const QString &client, const ConversionReader &read, const RunOptions &options,
    const WalkHooks &hooks = {}, const StopRequest &stop = {});
