#pragma once

#include "app/migration.h"

// The journal `--undo` takes for a folder: the newest journal in its
// "veltra-journal" that is no undo itself and that no undo has reversed yet.
// Empty with the reason when there is none.
QString undoableJournal(const QString &folder, QString *error);

// Names the undo journal that already reversed `journal`; empty when none did.
QString undoneBy(const QString &journal);

// Reverses the run a journal records, newest change first, through the same
// seam and journal as a migration (the undo journal's header names the
// journal it reverses). A change is undone only where the tree still matches
// its record: a written document still has its digest, a deleted duplicate's
// place is free and its twin still holds the recorded bytes, a moved entry is
// still at its target and its old place is free, a created folder is empty.
// Anything else is left alone and becomes an error line. The last record of
// a journal cut short by a kill may name a change that was never made: where
// the tree shows exactly that, it is passed over in silence.
RunReport undoJournal(const QString &journal, const RunOptions &options);
