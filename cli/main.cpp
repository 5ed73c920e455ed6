// veltra-cli: the migration without a window, for terminals, scripts and
// servers. It runs the very walk the window program runs and prints the log.

#include "cli/clienthint.h"
#include "cli/interrupt.h"
#include "cli/logoutput.h"
#include "cli/progressline.h"
#include "convert/convertlegacyfiles.h"
#include "filesystem/posixfile.h"
#include "journal/journalformat.h"
#include "log/terminaltext.h"
#include "migration/migration.h"
#include "paths/folders.h"
#include "undo/undo.h"
#include "version/versionrecord.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

enum ExitCode {
    Clean = 0,
    ErrorsLogged = 1,
    UsageError = 2,
    ClientBusy = 3,
    NothingToUndo = 4,
};

const char *const epilogue = R"(
Exit status:
  0    the run completed and its log holds no error line
  1    the log holds error lines (something could not be moved, read or
       written; an undo found a change it could not take back)
  2    usage error
  3    another run or undo is working on the client; nothing was changed
  4    --undo found no run left to undo
  130  stopped by SIGINT after the character (or, undoing, the change) in
       hand (143: SIGTERM); the same command again goes on from there
  141  standard output was closed (a pager or `head` that quit): stopped
       the same way, with the summary on standard error

Every real run keeps a journal of its changes in FOLDER/veltra-journal/.
One run or undo works on a client at a time.

Examples:
  veltra-cli --dry-run --verbose ~/client   show every change, make none
  veltra-cli ~/client                       migrate the client
  veltra-cli --undo ~/client                take the last run back
  veltra-cli --journals ~/client            list the runs and undos kept
)";

// Text from a client, a journal or the command line, as it may reach each
// stream: shown safely where the stream is a terminal, as it is elsewhere.
QString onStdout(const QString &text)
{
    return terminalTextFor(stdout, text, TerminalText::Raw);
}

QString onStderr(const QString &text)
{
    return terminalTextFor(stderr, text, TerminalText::Raw);
}

// A folder or path that cannot be worked on: nothing was changed.
int refused(const QString &message)
{
    std::fprintf(stderr, "veltra-cli: %s\n", qPrintable(onStderr(message)));
    return ErrorsLogged;
}

int usageError(const QString &message)
{
    std::fprintf(stderr, "veltra-cli: %s\n", qPrintable(onStderr(message)));
    std::fputs("Try 'veltra-cli --help' for more information.\n", stderr);
    return UsageError;
}

QString plural(int count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

void printSummary(const RunReport &report, bool dryRun, bool undo)
{
    QString line = undo ? QStringLiteral("undo")
                        : plural(report.outcome.done, "character", "characters") + QStringLiteral(" done");
    line += QStringLiteral(", %1, %2, %3, %4")
                .arg(plural(report.counts().moves, "move", "moves"),
                    undo ? plural(report.counts().deletions, "deletion", "deletions")
                         : plural(report.counts().deletions, "duplicate deleted", "duplicates deleted"),
                    plural(report.counts().documents, "document written", "documents written"),
                    plural(report.errors(), "error line", "error lines"));
    line += dryRun ? QStringLiteral("; dry run: nothing was changed")
                   : QStringLiteral("; journal: %1").arg(report.journal);
    std::fprintf(stderr, "veltra-cli: %s\n", qPrintable(onStderr(line)));
}

// The last record of the JSON output: what the summary line says, for a
// script. An undo counts changes where a run counts characters.
QByteArray summaryOf(const RunReport &report, bool dryRun, bool undo)
{
    RunSummary summary;
    summary.done = report.outcome.done;
    summary.total = report.outcome.total;
    summary.counts = report.counts();
    summary.errors = report.errors();
    summary.journal = report.journal;
    summary.stopped = report.outcome.stopped;
    summary.dryRun = dryRun;
    summary.undo = undo;
    return summaryRecord(summary);
}

// One line a journal, newest first: its name, when it started, whether it
// records a run or an undo, how many changes, and what became of it.
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

// --progress and --no-progress: the last one given wins, so an alias can be
// overridden on the command line.
bool progressWanted(const QStringList &given)
{
    for (auto it = given.crbegin(); it != given.crend(); ++it) {
        if (*it == QLatin1String("progress"))
            return true;
        if (*it == QLatin1String("no-progress"))
            return false;
    }
    return ProgressLine::wantedByDefault();
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const VersionRecord record = VersionRecord::current();
    QCoreApplication::setApplicationName(record.name);
    QCoreApplication::setApplicationVersion(record.version.toString());

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Migrates the character folders of a client to the current layout and prints the log.\n"
        "The run changes FOLDER in place and deletes files whose byte-identical copy already\n"
        "stands at their new place: see first what it would do with --dry-run, and take a run\n"
        "back with --undo."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption(
        {QStringLiteral("V"), QStringLiteral("version")}, QStringLiteral("Displays version information."));
    const QCommandLineOption colorOption(QStringLiteral("color"),
        QStringLiteral("Keep colour codes: auto (on a terminal, unless NO_COLOR is set or TERM is dumb), "
                       "always or never."),
        QStringLiteral("when"), QStringLiteral("auto"));
    const QCommandLineOption htmlOption(QStringLiteral("html"),
        QStringLiteral("Print the log as an HTML document, as the log window shows it (with --verbose, "
                       "the change lines too)."));
    const QCommandLineOption dryRunOption({QStringLiteral("n"), QStringLiteral("dry-run")},
        QStringLiteral("Change nothing; print exactly what a real run would print."));
    const QCommandLineOption verboseOption({QStringLiteral("v"), QStringLiteral("verbose")},
        QStringLiteral("Add a line for every change to the text or HTML log: moved, deleted, wrote, "
                       "created folder."));
    const QCommandLineOption jsonOption(QStringLiteral("json"),
        QStringLiteral("Print one JSON object a line instead of the log: every change, warning and error, "
                       "then a summary. Not with --html."));
    const QCommandLineOption quietOption({QStringLiteral("q"), QStringLiteral("quiet")},
        QStringLiteral("Print no summary on standard error."));
    const QCommandLineOption progressOption(QStringLiteral("progress"),
        QStringLiteral("Show how far the run is on standard error, wherever the streams go "
                       "(by default only when standard output and standard error are both the terminal)."));
    const QCommandLineOption noProgressOption(
        QStringLiteral("no-progress"), QStringLiteral("Show no progress line on standard error."));
    const QCommandLineOption undoOption(QStringLiteral("undo"),
        QStringLiteral("Reverse a run: the given JOURNAL, or the newest one not yet undone in FOLDER."));
    const QCommandLineOption journalsOption(QStringLiteral("journals"),
        QStringLiteral("List the journals of FOLDER, newest first: time, run or undo, changes, state."));
    for (const QCommandLineOption &option :
        {versionOption, colorOption, htmlOption, dryRunOption, verboseOption, jsonOption, quietOption,
            progressOption, noProgressOption, undoOption, journalsOption})
        parser.addOption(option);
    parser.addPositionalArgument(QStringLiteral("folder"),
        QStringLiteral("The client's top folder, the one that holds \"base\" (default: the current folder); "
                       "with --undo, a journal or such a folder."),
        QStringLiteral("[FOLDER]"));

    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption)) {
        std::fputs(qPrintable(parser.helpText()), stdout);
        std::fputs(epilogue, stdout);
        return Clean;
    }
    if (parser.isSet(QStringLiteral("help-all")))
        parser.process(QCoreApplication::arguments()); // prints Qt's options too, and ends
    if (parser.isSet(versionOption)) {
        std::printf("%s %s\n", qPrintable(record.name), qPrintable(record.version.toString()));
        return Clean;
    }

    const QString color = parser.value(colorOption);
    if (color != QLatin1String("auto") && color != QLatin1String("always") && color != QLatin1String("never"))
        return usageError(QStringLiteral("--color takes auto, always or never, not '%1'").arg(color));
    if (parser.isSet(htmlOption) && parser.isSet(jsonOption))
        return usageError(QStringLiteral("--html and --json do not go together"));
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return usageError(QStringLiteral("one FOLDER at most"));
    const bool undo = parser.isSet(undoOption);
    const QString untextual = untextualPath(
        positional.isEmpty() ? nativeCurrentFolder() : nativeArgument(argc, argv, positional.first()));
    if (!untextual.isEmpty())
        return refused(untextual);
    if (parser.isSet(journalsOption)) {
        if (undo)
            return usageError(QStringLiteral("--journals and --undo do not go together"));
        return printJournals(positional.value(0, QStringLiteral(".")));
    }
    if (undo) {
        if (!positional.isEmpty() && !QFileInfo::exists(positional.first()))
            return usageError(QStringLiteral("'%1' does not exist").arg(positional.first()));
    } else if (!positional.isEmpty()) {
        const QString folder = positional.first();
        // A folder that is there but may not be reached is no usage error: chdir says why.
        struct stat info;
        const int seen = ::stat(QFile::encodeName(folder).constData(), &info) == 0 ? 0 : errno;
        if ((seen != 0 && seen != EACCES) || (seen == 0 && !S_ISDIR(info.st_mode)))
            return usageError(QStringLiteral("'%1' is not a folder").arg(folder));
        if (::chdir(QFile::encodeName(folder).constData()) != 0)
            return refused(
                QStringLiteral("cannot enter '%1': %2").arg(folder, PosixFile::systemError().text));
        // A link may lead to a folder whose path is no text.
        const QString entered = untextualPath(nativeCurrentFolder());
        if (!entered.isEmpty())
            return refused(entered);
    }

    const bool dumb = qgetenv("TERM") == "dumb";
    const bool colour = color == QLatin1String("always")
        || (color == QLatin1String("auto") && isatty(fileno(stdout)) == 1
            && qEnvironmentVariable("NO_COLOR").isEmpty() && !dumb);
    const LogFormat format = parser.isSet(jsonOption) ? LogFormat::Json
        : parser.isSet(htmlOption)                    ? LogFormat::Html
                                                      : LogFormat::Text;
    RunOptions options;
    options.dryRun = parser.isSet(dryRunOption);
    options.version = record.version.toString();
    options.changeRecords = format == LogFormat::Json || parser.isSet(verboseOption);

    // The client is the folder the program was started in or entered above:
    // the one default to the current folder is here, at the program's edge.
    const QString client = QDir::currentPath();
    Interrupt::install();
    ProgressLine progress(stderr, progressWanted(parser.optionNames()));
    TextForm form;
    form.client = client; // an undo's client is the one its target names: told with its lines
    form.changes = parser.isSet(verboseOption);
    form.shownFrom = undo ? ShownFrom::Client : ShownFrom::Character;
    LogOutput output(format, colour, form, progress);
    output.onClosed(Interrupt::outputClosed);
    RunReport report;
    if (undo) {
        UndoHooks hooks;
        hooks.progress = [&progress](int done, int total, const QString &name) {
            progress.show(done, total, name, TerminalText::Shown); // an undo names paths through displayName
        };
        hooks.starting = [](const JournalSummary &journal) {
            std::fprintf(stderr, "veltra-cli: undoing %s, the run of %s (%s)\n",
                qPrintable(onStderr(journal.name)), qPrintable(onStderr(journal.header.started)),
                qPrintable(plural(journal.changes, "change", "changes")));
        };
        // Lines are printed as they come; the HTML document is written whole at the end.
        if (format != LogFormat::Html)
            hooks.linesDone = [&output](const Report &log) {
                output.setClient(log.client());
                output.writeBlock(log.records());
            };
        report = undoRun(positional.value(0, QStringLiteral(".")), options, hooks, Interrupt::requested);
        output.setClient(report.log.client());
        output.writeBlock(report.log.records());
    } else {
        WalkHooks hooks;
        hooks.progress = [&progress](int done, int total, const QString &name) {
            progress.show(done, total, name, TerminalText::Raw); // a character folder's name as listed
        };
        hooks.folderDone
            = [&output](const Report &log, int first) { output.writeBlock(log.records().mid(first)); };
        report = runMigration(client, prepareLegacyFiles, options, hooks, Interrupt::requested);
    }
    progress.clear();
    if (!report.failure.isEmpty()) {
        std::fprintf(stderr, "veltra-cli: %s\n", qPrintable(onStderr(report.failure)));
        switch (report.failureKind) {
        case RunFailure::Busy:
            return ClientBusy;
        case RunFailure::NothingToUndo:
            return NothingToUndo;
        default:
            return ErrorsLogged;
        }
    }
    if (report.log.isEmpty()) {
        std::fprintf(stderr, "veltra-cli: No character folders found in %s.\n",
            qPrintable(onStderr(charactersFolderPath(client))));
        const QString meant = probableClientFolder(client);
        if (!meant.isEmpty())
            std::fprintf(stderr, "veltra-cli: did you mean %s, the folder that holds base?\n",
                qPrintable(onStderr(meant)));
        return Clean;
    }
    // The log of a stopped run ends as the window's does; an undo's log names
    // its changes, not characters, and its stop is told on standard error.
    QVector<LogRecord> log = report.log.records();
    if (report.outcome.stopped && !undo) {
        log.append(LogRecord::line(stoppedLine(report.outcome)));
        output.writeLastLine(log.last().text);
    }
    output.finish(log,
        QStringLiteral("Veltra log: %1, %2")
            .arg(client, QDateTime::currentDateTimeUtc().toString(Qt::ISODate)));
    output.writeRecord(summaryOf(report, options.dryRun, undo));
    if (report.outcome.stopped && undo) {
        std::fprintf(stderr,
            "veltra-cli: stopped after %d of %d changes; the same command finishes the undo\n",
            report.outcome.done, report.outcome.total);
    } else if (report.outcome.stopped) {
        std::fprintf(stderr, "veltra-cli: stopped after %d of %d characters\n", report.outcome.done,
            report.outcome.total);
    }
    if (!parser.isSet(quietOption))
        printSummary(report, options.dryRun, undo);
    if (output.isClosed())
        return Interrupt::exitStatus();
    if (Interrupt::exitStatus() != 0 && report.outcome.stopped)
        return Interrupt::exitStatus();
    return report.errors() > 0 ? ErrorsLogged : Clean;
}
