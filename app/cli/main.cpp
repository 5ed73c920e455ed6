// veltra-cli: the migration without a window, for terminals, scripts and
// servers. It runs the very walk the window program runs and prints the log.

#include "app/cli/progressline.h"
#include "app/cli/sgr.h"
#include "app/loglevel.h"
#include "app/restructure.h"
#include "convert/convertlegacyfiles.h"
#include "paths/folders.h"
#include "version/versionrecord.h"
#include "view/ansihtmlconverter.h"

#include <QCommandLineParser>
#include <QCoreApplication>
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

int usageError(const QString &message)
{
    std::fprintf(stderr, "veltra-cli: %s\n", qPrintable(message));
    std::fputs("Try 'veltra-cli --help' for more information.\n", stderr);
    return UsageError;
}

void writeOut(const QByteArray &bytes)
{
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    std::fflush(stdout);
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
        "Migrates the character folders of a client to the current layout and prints the log."));
    const QCommandLineOption helpOption = parser.addHelpOption();
    const QCommandLineOption versionOption = parser.addVersionOption();
    const QCommandLineOption colorOption(QStringLiteral("color"),
        QStringLiteral("Keep colour codes: auto (on a terminal, unless NO_COLOR is "
                       "set), always or never."),
        QStringLiteral("when"), QStringLiteral("auto"));
    const QCommandLineOption htmlOption(
        QStringLiteral("html"), QStringLiteral("Print the log as the HTML document the log window shows."));
    parser.addOption(colorOption);
    parser.addOption(htmlOption);
    parser.addPositionalArgument(QStringLiteral("folder"),
        QStringLiteral("The client's top folder, the one that holds \"base\" (default: "
                       "the current folder)."),
        QStringLiteral("[FOLDER]"));

    if (!parser.parse(QCoreApplication::arguments()))
        return usageError(parser.errorText());
    if (parser.isSet(helpOption))
        parser.showHelp(Clean);
    if (parser.isSet(versionOption)) {
        std::printf("%s %s\n", qPrintable(record.name), qPrintable(record.version.toString()));
        return Clean;
    }

    const QString color = parser.value(colorOption);
    if (color != QLatin1String("auto") && color != QLatin1String("always") && color != QLatin1String("never"))
        return usageError(QStringLiteral("--color takes auto, always or never, not '%1'").arg(color));
    const QStringList positional = parser.positionalArguments();
    if (positional.size() > 1)
        return usageError(QStringLiteral("one FOLDER at most"));
    if (!positional.isEmpty()) {
        const QString folder = positional.first();
        if (!QFileInfo(folder).isDir())
            return usageError(QStringLiteral("'%1' is not a folder").arg(folder));
        if (!QDir::setCurrent(folder))
            return usageError(QStringLiteral("cannot enter '%1'").arg(folder));
    }

    QStringList log;
    {
        ProgressLine progress(stderr);
        log = restructureCharacterFolders(convertLegacyFiles,
            [&progress](int done, int total, const QString &name) { progress.show(done, total, name); });
    }
    if (log.isEmpty()) {
        std::fprintf(
            stderr, "veltra-cli: No character folders found in %s.\n", qPrintable(charactersFolderPath()));
        return Clean;
    }

    const QString text = joinLog(log);
    if (parser.isSet(htmlOption)) {
        writeOut(QByteArray::fromStdString(ansiHtmlConverter().convert(text.toStdString())));
    } else {
        const bool keepColor = color == QLatin1String("always")
            || (color == QLatin1String("auto") && isatty(fileno(stdout)) == 1
                && !qEnvironmentVariableIsSet("NO_COLOR"));
        writeOut((keepColor ? text : stripSgr(text)).toUtf8());
    }
    return std::any_of(log.cbegin(), log.cend(), isErrorLine) ? ErrorsLogged : Clean;
}
