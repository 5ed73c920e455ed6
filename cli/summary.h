#pragma once

struct RunReport;

// The summary line on standard error at the end of a run or an undo.
void printSummary(const RunReport &report, bool dryRun, bool undo);

