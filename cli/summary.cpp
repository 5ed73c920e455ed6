#include "cli/summary.h"

#include "cli/messages.h"
#include "migration/migration.h"

#include <cstdio>

void printSummary(const RunReport &report, bool dryRun, bool undo)
{
    QString line = undo ? QStringLiteral("undo")
                        : plural(report.outcome.done, "character", "characters") + QStringLiteral(" done");
    const ChangeCounts counts = report.counts();
    // A run's folders are those it created; an undo's, those it removed again.
    line += QStringLiteral(", %1, %2, %3, %4, %5")
                .arg(plural(counts.moves, "move", "moves"),
                    undo ? plural(counts.deletions, "deletion", "deletions")
                         : plural(counts.deletions, "duplicate deleted", "duplicates deleted"),
                    plural(counts.documents, "document written", "documents written"),
                    undo ? plural(counts.folders, "folder removed", "folders removed")
                         : plural(counts.folders, "folder created", "folders created"),
                    plural(report.errors(), "error line", "error lines"));
    line += dryRun ? QStringLiteral("; dry run: nothing was changed")
                   : QStringLiteral("; journal: %1").arg(report.journal);
    std::fprintf(stderr, "veltra-cli: %s\n", qPrintable(onStderr(line)));
}
