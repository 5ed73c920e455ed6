#pragma once

#include "journal/journalfile.h"
#include "migration/migration.h"

#include <functional>

// What a caller may watch and steer during an undo. Every member is optional.
struct UndoHooks
{
    // Told before each change is taken back: how many are done, how many
    // there are, and the path of the one in hand.
    ProgressReporter progress;
    // Told which run is about to be undone, before anything is.
    std::function<void(const JournalSummary &)> starting;
    // Handed the log a block of records at a time as the undo goes, so that
    // the log of a long one is never held whole; the report then keeps only
    // the last block (and counts the error lines of all). Unset, the report
    // keeps the whole log.
    // The records handed on are those `log` holds when it is called.
    std::function<void(const Report &log)> linesDone;
};

// Reverses one run of a client: `target` is the client's top folder (then
// its newest run that changed something and is not undone yet) or a journal
// in its "veltra-journal" folder. The client is always the folder that holds
// the journal folder; nothing outside it is ever reached. The undo holds the
// client's lock and keeps a journal of its own, whose header names the
// journal it reverses.
//
// A change is undone only where the tree still matches its record: a written
// document still has its digest, a deleted duplicate's place is free and its
// twin still holds the recorded bytes, a moved entry is still at its target
// and its old place is free, a created folder is empty. Anything else is left
// alone and becomes an error line. `stop` is asked between two changes; the
// same undo again finishes a stopped one. What an earlier undo of the same run that
// was cut short took back already, and the last change of a run that was
// killed before making it, are passed over in silence.
RunReport undoRun(const QString &target, const RunOptions &options, const UndoHooks &hooks = {},
    const StopRequest &stop = {});

// The journals of the client `folder`, oldest first; false with the reason
// when the folder or its journal folder cannot be read.
bool listJournals(const QString &folder, QVector<JournalSummary> *journals, QString *why);
