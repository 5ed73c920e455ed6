// veltra-cli: the migration without a window, for terminals, scripts and
// servers. It runs the very walk the window program runs and prints the log.

#include "app/cli/clienthint.h"
#include "app/cli/interrupt.h"
#include "app/cli/logoutput.h"
#include "app/cli/progressline.h"
#include "app/loglevel.h"
#include "app/migration.h"
#include "app/undo.h"
#include "convert/convertlegacyfiles.h"
#include "paths/folders.h"
#include "version/versionrecord.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDateTime>
#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <cstdio>
#include <unistd.h>

namespace {

enum ExitCode {
    Clean = 0,
    ErrorsLogged = 1,
    UsageError = 2,
};

const char *const epilogue = R"(
Exit status:
  0    the run completed and its log holds no error line
  1    the log holds error lines (something could not be moved, read or
       written; an undo found a change it could not take back)
  2    usage error
  130  stopped by SIGINT after the character in hand (143: SIGTERM)

Every real run keeps a journal of its changes in FOLDER/veltra-journal/.

Examples:
  veltra-cli --dry-run --verbose ~/client   show every change, make none
  veltra-cli ~/client                       migrate the client
  veltra-cli --undo ~/client                take the last run back
)";

int usageError(const QString &message)
{
    std::fprintf(stderr, "veltra-cli: %s\n", qPrintable(message));
    std::fputs("Try 'veltra-cli --help' for more information.\n", stderr);
    return UsageError;
}

QString plural(int count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}

void printSummary(const RunReport &report, bool dryRun, bool undo)
{
    const int errors = int(std::count_if(report.log.cbegin(), report.log.cend(), isErrorLine));
    QString line = undo ? QStringLiteral("undo")
                        : plural(report.outcome.done, "character", "characters") + QStringLiteral(" done");
    line += QStringLiteral(", %1, %2, %3, %4")
                .arg(plural(report.counts.moves, "move", "moves"),
                    undo ? plural(report.counts.deletions, "deletion", "deletions")
                         : plural(report.counts.deletions, "duplicate deleted", "duplicates deleted"),
                    plural(report.counts.documents, "document written", "documents written"),
                    plural(errors, "error line", "error lines"));
    line += dryRun ? QStringLiteral("; dry run: nothing was changed")
                   : QStringLiteral("; journal: %1").arg(report.journal);
    std::fprintf(stderr, "veltra-cli: %s\n", qPrintable(line));
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
        QStringLiteral("Print the log as an HTML document, as the log window shows it."));
    const QCommandLineOption dryRunOption({QStringLiteral("n"), QStringLiteral("dry-run")},
        QStringLiteral("Change nothing; print exactly what a real run would print."));
    const QCommandLineOption verboseOption({QStringLiteral("v"), QStringLiteral("verbose")},
        QStringLiteral("Add a line for every change: moved, deleted, wrote, created folder."));
    const QCommandLineOption jsonOption(QStringLiteral("json"),
        QStringLiteral("Print one JSON object a line instead of the log: every change, warning and error."));
    const QCommandLineOption quietOption({QStringLiteral("q"), QStringLiteral("quiet")},
        QStringLiteral("Print no summary on standard error."));
    const QCommandLineOption undoOption(QStringLiteral("undo"),
        QStringLiteral("Reverse a run: the given JOURNAL, or the newest one not yet undone in FOLDER."));
    for (const QCommandLineOption &option : {versionOption, colorOption, htmlOption, dryRunOption,
             verboseOption, jsonOption, quietOption, undoOption})
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
    QString journal;
    if (undo) {
        const QString given = positional.value(0, QStringLiteral("."));
        QString reason;
        journal = QFileInfo(given).isFile() ? QFileInfo(given).absoluteFilePath()
                                            : undoableJournal(given, &reason);
        if (journal.isEmpty())
            return usageError(reason);
        const QString by = undoneBy(journal);
        if (!by.isEmpty())
            return usageError(QStringLiteral("'%1' was already undone by %2").arg(journal, by));
    } else if (!positional.isEmpty()) {
        const QString folder = positional.first();
        if (!QFileInfo(folder).isDir())
            return usageError(QStringLiteral("'%1' is not a folder").arg(folder));
        if (!QDir::setCurrent(folder))
            return usageError(QStringLiteral("cannot enter '%1'").arg(folder));
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
    options.lines = format == LogFormat::Json ? ChangeLines::Json
        : parser.isSet(verboseOption)         ? ChangeLines::Plain
                                              : ChangeLines::None;

    Interrupt::install();
    ProgressLine progress(stderr);
    LogOutput output(format, colour, progress);
    RunReport report;
    if (undo) {
        report = undoJournal(journal, options);
        output.writeBlock(report.log);
    } else {
        WalkHooks hooks;
        hooks.progress
            = [&progress](int done, int total, const QString &name) { progress.show(done, total, name); };
        hooks.folderDone = [&output](const QStringList &block) { output.writeBlock(block); };
        hooks.stopRequested = Interrupt::requested;
        report = runMigration(prepareLegacyFiles, hooks, options);
    }
    progress.clear();
    if (!report.failure.isEmpty()) {
        std::fprintf(stderr, "veltra-cli: %s\n", qPrintable(report.failure));
        return ErrorsLogged;
    }
    if (report.log.isEmpty()) {
        std::fprintf(
            stderr, "veltra-cli: No character folders found in %s.\n", qPrintable(charactersFolderPath()));
        const QString meant = probableClientFolder(QDir::currentPath());
        if (!meant.isEmpty())
            std::fprintf(
                stderr, "veltra-cli: did you mean %s, the folder that holds base?\n", qPrintable(meant));
        return Clean;
    }
    output.finish(report.log,
        QStringLiteral("Veltra log: %1, %2")
            .arg(QDir::currentPath(), QDateTime::currentDateTimeUtc().toString(Qt::ISODate)));
    if (report.outcome.stopped) {
        std::fprintf(stderr, "veltra-cli: stopped after %d of %d characters\n", report.outcome.done,
            report.outcome.total);
    }
    if (!parser.isSet(quietOption))
        printSummary(report, options.dryRun, undo);
    if (Interrupt::exitStatus() != 0 && report.outcome.stopped)
        return Interrupt::exitStatus();
    return std::any_of(report.log.cbegin(), report.log.cend(), isErrorLine) ? ErrorsLogged : Clean;
}
