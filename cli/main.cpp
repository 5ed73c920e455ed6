// veltra-cli: the migration without a window, for terminals, scripts and
// servers. It runs the very walk the window program runs and prints the log.

#include "cli/characterchoice.h"
#include "cli/clienthint.h"
#include "cli/commandline.h"
#include "cli/interrupt.h"
#include "cli/journalslist.h"
#include "cli/logoutput.h"
#include "cli/messages.h"
#include "cli/progressline.h"
#include "cli/summary.h"
#include "convert/convertlegacyfiles.h"
#include "filesystem/posixfile.h"
#include "log/terminaltext.h"
#include "migration/migration.h"
#include "migration/runsummary.h"
#include "paths/folders.h"
#include "undo/undo.h"
#include "version/versionrecord.h"

#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const VersionRecord record = VersionRecord::current();
    QCoreApplication::setApplicationName(record.name);
    QCoreApplication::setApplicationVersion(record.version.toString());

    CommandLine commandLine;
    QCommandLineParser &parser = commandLine.parser;

    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(commandLine.help)) {
        std::fputs(qPrintable(commandLine.helpText()), stdout);
        return Clean;
    }
    if (parser.isSet(QStringLiteral("help-all")))
        parser.process(QCoreApplication::arguments()); // prints Qt's options too, and ends
    if (parser.isSet(commandLine.version)) {
        std::printf("%s %s\n", qPrintable(record.name), qPrintable(record.version.toString()));
        return Clean;
    }

    const QString color = parser.value(commandLine.color);
    if (color != QLatin1String("auto") && color != QLatin1String("always") && color != QLatin1String("never"))
        return usageError(QStringLiteral("--color takes auto, always or never, not '%1'").arg(color));
    if (parser.isSet(commandLine.html) && parser.isSet(commandLine.json))
        return usageError(QStringLiteral("--html and --json do not go together"));
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return usageError(QStringLiteral("one FOLDER at most"));
    const bool undo = parser.isSet(commandLine.undo);
    const QStringList characters = parser.values(commandLine.character);
    if (!characters.isEmpty() && (undo || parser.isSet(commandLine.journals)))
        return usageError(QStringLiteral("--character does not go with %1")
                              .arg(undo ? QStringLiteral("--undo") : QStringLiteral("--journals")));
    const QString untextual = untextualPath(
        positional.isEmpty() ? nativeCurrentFolder() : nativeArgument(argc, argv, positional.first()));
    if (!untextual.isEmpty())
        return refused(untextual);
    if (parser.isSet(commandLine.journals)) {
        if (undo)
            return usageError(QStringLiteral("--journals and --undo do not go together"));
        return notAClient(positional.value(0, QStringLiteral(".")))
            ? ErrorsLogged
            : printJournals(positional.value(0, QStringLiteral(".")));
    }
    if (undo) {
        if (!positional.isEmpty() && !QFileInfo::exists(positional.first()))
            return usageError(QStringLiteral("'%1' does not exist").arg(positional.first()));
        if (notAClient(positional.value(0, QStringLiteral("."))))
            return ErrorsLogged;
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
    // The one default to the current folder is here, at the program's edge.
    const QString client = QDir::currentPath();
    if (!undo) {
        if (notAClient(client))
            return ErrorsLogged;
        const QString unknown = unknownCharacter(client, characters);
        if (!unknown.isEmpty())
            return usageError(unknown);
    }

    const bool dumb = qgetenv("TERM") == "dumb";
    const bool colour = color == QLatin1String("always")
        || (color == QLatin1String("auto") && isatty(fileno(stdout)) == 1
            && qEnvironmentVariable("NO_COLOR").isEmpty() && !dumb);
    const LogFormat format = parser.isSet(commandLine.json) ? LogFormat::Json
        : parser.isSet(commandLine.html)                    ? LogFormat::Html
                                                            : LogFormat::Text;
    RunOptions options;
    options.dryRun = parser.isSet(commandLine.dryRun);
    options.version = record.version.toString();
    options.characters = characters;
    options.changeRecords = format == LogFormat::Json || parser.isSet(commandLine.verbose);

    // The client is the folder the program was started in or entered above.
    Interrupt::install();
    ProgressLine progress(stderr, commandLine.progressWanted());
    TextForm form;
    form.client = client; // an undo's client is the one its target names: told with its lines
    form.changes = parser.isSet(commandLine.verbose);
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
        if (report.outcome.stopped) // its last line, "Stopped after ...", reaches line-reading tools
            output.endLine();
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
        tellNoCharacters(client); // a client with an empty characters folder: nothing to do
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
    output.writeRecord(runSummaryRecord(report, options.dryRun));
    if (report.outcome.stopped && undo) {
        std::fprintf(stderr,
            "veltra-cli: stopped after %d of %d changes; the same command finishes the undo\n",
            report.outcome.done, report.outcome.total);
    } else if (report.outcome.stopped) {
        std::fprintf(stderr, "veltra-cli: stopped after %d of %d characters\n", report.outcome.done,
            report.outcome.total);
    }
    if (!parser.isSet(commandLine.quiet))
        printSummary(report, options.dryRun, undo);
    if (output.isClosed())
        return Interrupt::exitStatus();
    if (Interrupt::exitStatus() != 0 && report.outcome.stopped)
        return Interrupt::exitStatus();
    return report.errors() > 0 ? ErrorsLogged : Clean;
}
