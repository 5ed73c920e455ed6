#include "cli/messages.h"

#include "log/terminaltext.h"

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

QString plural(int count, const char *one, const char *many)
{
    return QStringLiteral("%1 %2").arg(count).arg(QLatin1String(count == 1 ? one : many));
}
