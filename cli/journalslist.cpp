#include "cli/journalslist.h"

#include "cli/messages.h"
#include "undo/undo.h"

#include <cstdio>

int printJournals(const QString &folder)
{
    QVector<JournalSummary> journals;
    QString why;
    if (!listJournals(folder, &journals, &why)) {
        std::fprintf(stderr, "veltra-cli: cannot read the journals of %s: %s\n", qPrintable(onStderr(folder)),
            qPrintable(onStderr(why)));
        return ErrorsLogged;
    }
    for (auto it = journals.crbegin(); it != journals.crend(); ++it) {
        if (!it->readable) {
            std::printf(
                "%s  unreadable: %s\n", qPrintable(onStdout(it->name)), qPrintable(onStdout(it->problem)));
            continue;
        }
        const bool isUndo = !it->header.undoOf.isEmpty();
        QString state = !it->ended ? QStringLiteral("cut short")
            : it->end.stopped      ? QStringLiteral("stopped")
                                   : QStringLiteral("complete");
        if (it->damagedLine > 0)
            state += QStringLiteral(", damaged at line %1").arg(it->damagedLine);
        if (isUndo)
            state += QStringLiteral(", undo of ") + it->header.undoOf;
        else if (it->undone)
            state += QStringLiteral(", undone");
        else if (!it->undos.isEmpty())
            state += QStringLiteral(", partly undone");
        std::printf("%s  %s  %-4s  %7d %s  %s\n", qPrintable(onStdout(it->name)),
            qPrintable(onStdout(it->header.started)), isUndo ? "undo" : "run", it->changes,
            it->changes == 1 ? "change " : "changes", qPrintable(onStdout(state)));
    }
    return Clean;
}
