#include "view/vrunlogheader.h"

#include <QCoreApplication>
#include <QStringList>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("VRunLog", text);
}

QString what(const RunLogFacts &facts)
{
    switch (facts.kind) {
    case RunLogFacts::Kind::Preview:
        return facts.stopped ? tr("Preview, stopped after %1 of %2 characters: nothing was changed.")
                                   .arg(facts.done)
                                   .arg(facts.total)
                             : tr("Preview: nothing was changed.");
    case RunLogFacts::Kind::Undo:
        return facts.stopped ? tr("Undo of the run %1, stopped after %2 of %3 changes.")
                                   .arg(facts.journal)
                                   .arg(facts.done)
                                   .arg(facts.total)
                             : tr("Undo of the run %1.").arg(facts.journal);
    case RunLogFacts::Kind::Run:
        break;
    }
    return facts.stopped ? tr("Run stopped after %1 of %2 characters; journal %3.")
                               .arg(facts.done)
                               .arg(facts.total)
                               .arg(facts.journal)
                         : tr("Run; journal %1.").arg(facts.journal);
}

// "1 move", "2 moves": each count with its word in the right number.
QString counted(int count, const char *one, const char *many)
{
    return tr(count == 1 ? one : many).arg(count);
}

} // namespace

QString runLogHeading(const RunLogFacts &facts)
{
    const ChangeCounts &counts = facts.counts;
    const QString characters = facts.kind == RunLogFacts::Kind::Undo
        ? counted(facts.total, "%1 change", "%1 changes")
        : tr("%1 of %2 characters").arg(facts.done).arg(facts.total);
    return what(facts) + QLatin1Char('\n')
        + QStringList{characters, counted(counts.moves, "%1 move", "%1 moves"),
            counted(counts.deletions, "%1 deletion", "%1 deletions"),
            counted(counts.documents, "%1 document", "%1 documents"),
            counted(counts.folders, "%1 folder", "%1 folders"),
            counted(facts.errors, "%1 error line", "%1 error lines")}
              .join(QStringLiteral(", "));
}

QString runLogTitle(const QString &application, RunLogFacts::Kind kind)
{
    switch (kind) {
    case RunLogFacts::Kind::Preview:
        return application + tr(" - preview");
    case RunLogFacts::Kind::Undo:
        return application + tr(" - undo");
    case RunLogFacts::Kind::Run:
        break;
    }
    return application; // a run's log, as it always was
}
