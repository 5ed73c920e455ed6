#include "cli/commandline.h"

#include "cli/progressline.h"

namespace {

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
  veltra-cli --character Mira ~/client      migrate the character Mira alone
  veltra-cli --undo ~/client                take the last run back
  veltra-cli --journals ~/client            list the runs and undos kept
)";

} // namespace

CommandLine::CommandLine()
    : help(parser.addHelpOption())
    , version(
          {QStringLiteral("V"), QStringLiteral("version")}, QStringLiteral("Displays version information."))
    , color(QStringLiteral("color"),
          QStringLiteral("Keep colour codes: auto (on a terminal, unless NO_COLOR is set or TERM is dumb), "
                         "always or never."),
          QStringLiteral("when"), QStringLiteral("auto"))
    , html(QStringLiteral("html"),
          QStringLiteral("Print the log as an HTML document, as the log window shows it (with --verbose, "
                         "the change lines too)."))
    , dryRun({QStringLiteral("n"), QStringLiteral("dry-run")},
          QStringLiteral("Change nothing; print exactly what a real run would print."))
    , verbose({QStringLiteral("v"), QStringLiteral("verbose")},
          QStringLiteral("Add a line for every change to the text or HTML log: moved, deleted, wrote, "
                         "created folder."))
    , json(QStringLiteral("json"),
          QStringLiteral("Print one JSON object a line instead of the log: every change, warning and error, "
                         "then a summary. Not with --html."))
    , quiet({QStringLiteral("q"), QStringLiteral("quiet")},
          QStringLiteral("Print no summary on standard error."))
    , progress(QStringLiteral("progress"),
          QStringLiteral("Show how far the run is on standard error, wherever the streams go "
                         "(by default only when standard output and standard error are both the terminal)."))
    , noProgress(QStringLiteral("no-progress"), QStringLiteral("Show no progress line on standard error."))
    , undo(QStringLiteral("undo"),
          QStringLiteral("Reverse a run: the given JOURNAL, or the newest one not yet undone in FOLDER."))
    , journals(QStringLiteral("journals"),
          QStringLiteral("List the journals of FOLDER, newest first: time, run or undo, changes, state."))
    , character(QStringLiteral("character"),
          QStringLiteral("Migrate (or preview) only the character folder NAME of base/characters, named "
                         "exactly as listed there; give it again for more. Not with --undo or --journals."),
          QStringLiteral("name"))
{
    parser.setApplicationDescription(QStringLiteral(
        "Migrates the character folders of a client to the current layout and prints the log.\n"
        "The run changes FOLDER in place and deletes files whose byte-identical copy already\n"
        "stands at their new place: see first what it would do with --dry-run, and take a run\n"
        "back with --undo."));
    for (const QCommandLineOption &option :
        {version, color, html, dryRun, verbose, json, quiet, progress, noProgress, undo, journals, character})
        parser.addOption(option);
    parser.addPositionalArgument(QStringLiteral("folder"),
        QStringLiteral("The client's top folder, the one that holds \"base\" (default: the current folder); "
                       "with --undo, a journal or such a folder."),
        QStringLiteral("[FOLDER]"));
}

QString CommandLine::helpText() const
{
    return parser.helpText() + QLatin1String(epilogue);
}

bool CommandLine::progressWanted() const
{
    const QStringList given = parser.optionNames();
    for (auto it = given.crbegin(); it != given.crend(); ++it) {
        if (*it == QLatin1String("progress"))
            return true;
        if (*it == QLatin1String("no-progress"))
            return false;
    }
    return ProgressLine::wantedByDefault();
}
