#include "window/runlogcontent.h"

#include "journal/journalformat.h"
#include "migration/runsummary.h"
#include "run/textlog.h"

#include <QFile>
#include <QFileInfo>

RunLogContent runLogContent(const RunReport &report, bool dryRun, const QString &log, const QString &undone)
{
    RunLogContent content;
    RunLogFacts &facts = content.facts;
    facts.kind = report.undo ? RunLogFacts::Kind::Undo
        : dryRun             ? RunLogFacts::Kind::Preview
                             : RunLogFacts::Kind::Run;
    facts.journal = QFileInfo(report.undo ? undone : report.journal).fileName();
    facts.stopped = report.outcome.stopped;
    facts.done = report.outcome.done;
    facts.total = report.outcome.total;
    facts.counts = report.counts();
    facts.errors = report.errors();

    content.client = report.log.client();
    content.records = report.log.records();
    // The saved HTML is what `veltra-cli --html --verbose` writes.
    TextForm form;
    form.client = content.client;
    form.changes = true;
    form.shownFrom = report.undo ? ShownFrom::Client : ShownFrom::Character;
    QVector<LogRecord> verbose = content.records;
    if (report.outcome.stopped && !report.undo)
        verbose.append(LogRecord::line(stoppedLine(report.outcome)));
    content.verboseLog = joinLog(textLines(verbose, form));
    // An undo's log shows what it took back, as `veltra-cli --undo -v` does.
    content.log = report.undo ? content.verboseLog : log;
    content.jsonLines
        = outputRecords(content.records, content.client) + runSummaryRecord(report, dryRun) + '\n';
    content.undoJournal = report.undoableJournal();
    if (!content.undoJournal.isEmpty())
        content.undoStarted = journalStarted(content.undoJournal);
    content.atEnd = report.outcome.stopped;
    return content;
}

QString journalStarted(const QString &journal)
{
    QFile file(journal);
    if (!file.open(QIODevice::ReadOnly))
        return QString();
    JournalHeader header;
    QString why;
    const QByteArray line = file.readLine(maxJournalLine).trimmed();
    return parseJournalHeader(line, &header, &why) ? header.started : QString();
}
