#include "migration/runsummary.h"

#include "journal/journalformat.h"

QByteArray runSummaryRecord(const RunReport &report, bool dryRun)
{
    RunSummary summary;
    summary.done = report.outcome.done;
    summary.total = report.outcome.total;
    summary.counts = report.counts();
    summary.errors = report.errors();
    summary.journal = report.journal;
    summary.stopped = report.outcome.stopped;
    summary.dryRun = dryRun;
    summary.undo = report.undo;
    return summaryRecord(summary);
}
