#pragma once

#include "migration/migration.h"
#include "view/vrunlog.h"

#include <QString>

// What the log window shows of a walk that finished: `log` is the text the
// seed's window shows for it; `undone` the journal an undo took back; an
// undo's log names each change it took back, from the client's top folder.
RunLogContent runLogContent(const RunReport &report, bool dryRun, const QString &log, const QString &undone);

// When the run of `journal` started, as its header says; empty when it
// cannot be read.
QString journalStarted(const QString &journal);
