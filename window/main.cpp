// veltra: the migration in a window. Started in a client, it migrates it at
// once; given a folder, or choosing one when started elsewhere, it first asks
// before changing it. It shows the progress of a long run, then the log, from
// which the run can be undone, until the user closes the window.

#include "convert/convertlegacyfiles.h"
#include "log/terminaltext.h"
#include "version/versionrecord.h"
#include "window/capplication.h"
#include "window/windowsession.h"

#include <QStringList>

#include <csignal>
#include <cstdio>
#include <cstring>

namespace {

const char usage[] = "Usage: veltra [QT-OPTION]... [FOLDER]\n"
                     "Migrates the character folders of the client in FOLDER, or in the current folder,\n"
                     "to the current layout, in a window, and shows the log.\n"
                     "\n"
                     "Started in a client's top folder (the one that holds base), it migrates it at once.\n"
                     "Given FOLDER, or started elsewhere (it then asks for the folder), it first names\n"
                     "the folder and offers to migrate it, to preview the run or to cancel. The log\n"
                     "window offers to undo the run it shows.\n"
                     "\n"
                     "  -h, --help     Displays this help and exits.\n"
                     "  -V, --version  Displays version information and exits.\n"
                     "\n"
                     "Qt's own options, such as -platform NAME or -style NAME, are taken too.\n"
                     "For terminals and scripts, use veltra-cli.\n";

// Help and version are answered before the application object exists: they
// need no display, and a user asking them has no window in mind.
int answerBeforeStart(int argc, char *argv[])
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (std::strcmp(argv[i], "--version") == 0 || std::strcmp(argv[i], "-V") == 0) {
            const VersionRecord record = VersionRecord::current();
            std::printf("%s %s\n", qPrintable(record.name), qPrintable(record.version.toString()));
            return 0;
        }
    }
    return -1;
}

} // namespace

int main(int argc, char *argv[])
{
    const int answered = answerBeforeStart(argc, argv);
    if (answered >= 0)
        return answered;

    // Past a file-size limit a write fails with EFBIG ("File too large"),
    // which becomes an error line, instead of killing the program mid-change.
    std::signal(SIGXFSZ, SIG_IGN);
    CApplication application(argc, argv);
    // The application object took Qt's own options out: what is left is ours.
    const QStringList arguments = QCoreApplication::arguments().mid(1);
    if (arguments.size() > 1 || (!arguments.isEmpty() && arguments.first().startsWith(QLatin1Char('-')))) {
        std::fprintf(stderr, "veltra: %s\nTry 'veltra --help' for more information.\n",
            arguments.size() > 1
                ? "one FOLDER at most"
                : qPrintable(terminalTextFor(stderr,
                    QStringLiteral("unknown option '%1'").arg(arguments.first()), TerminalText::Raw)));
        return 2;
    }
    // The session ends the program itself: windows come and go between a
    // question, a run and its log.
    QApplication::setQuitOnLastWindowClosed(false);
    WindowSession session(prepareLegacyFiles, QCoreApplication::applicationVersion());
    session.begin(arguments.value(0));
    return application.exec();
}
