#pragma once

#include <QByteArray>

struct RunReport;

// The summary line on standard error at the end of a run or an undo.
void printSummary(const RunReport &report, bool dryRun, bool undo);

// The last record of the JSON output: what the summary line says, for a
// script. An undo counts changes where a run counts characters.
QByteArray summaryOf(const RunReport &report, bool dryRun, bool undo);
