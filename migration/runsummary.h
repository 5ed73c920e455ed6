#pragma once

#include "migration/migration.h"

#include <QByteArray>

// The machine output's last record for a run or an undo, from its report:
// what `veltra-cli --json` ends with and a saved report's summary. A dry run
// is told, as its report keeps no mark of it.
QByteArray runSummaryRecord(const RunReport &report, bool dryRun);
