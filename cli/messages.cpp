#include "cli/messages.h"

#include "cli/clienthint.h"
#include "log/terminaltext.h"
#include "paths/folders.h"

#include <QDir>
#include <QFileInfo>

#include <cstdio>

QString onStdout(const QString &text)
{
    return terminalTextFor(stdout, text, TerminalText::Raw);
}

QString onStderr(const QString &text)
{
    return terminalTextFor(stderr, text, TerminalText::Raw);
}

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

void tellNoCharacters(const QString &client)
{
    std::fprintf(stderr, "veltra-cli: No character folders found in %s.\n",
        qPrintable(onStderr(charactersFolderPath(client))));
    const QString meant = probableClientFolder(client);
    if (!meant.isEmpty())
        std::fprintf(stderr, "veltra-cli: did you mean %s, the folder that holds base?\n",
            qPrintable(onStderr(meant)));
}

bool notAClient(const QString &folder)
{
    const QFileInfo info(folder);
    if (!info.isDir() || holdsCharacters(folder))
        return false;
    tellNoCharacters(QDir::cleanPath(info.absoluteFilePath()));
    return true;
}

QString plural(int count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}
