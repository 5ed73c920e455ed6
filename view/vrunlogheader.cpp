#include "view/vrunlogheader.h"

#include <QCoreApplication>

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

} // namespace

QString runLogHeading(const RunLogFacts &facts)
{
    const ChangeCounts &counts = facts.counts;
    const QString characters = facts.kind == RunLogFacts::Kind::Undo
        ? (facts.total == 1 ? tr("1 change") : tr("%1 changes").arg(facts.total))
        : tr("%1 of %2 characters").arg(facts.done).arg(facts.total);
    return what(facts) + QLatin1Char('\n')
        + tr("%1, %2 moves, %3 deletions, %4 documents, %5 folders, %6 error lines")
              .arg(characters)
              .arg(counts.moves)
              .arg(counts.deletions)
              .arg(counts.documents)
              .arg(counts.folders)
              .arg(facts.errors);
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
