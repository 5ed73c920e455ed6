#include "app/loglevel.h"

namespace {

QString prefix(LogLevel level)
{
    return level == LogLevel::Warning ? QStringLiteral("\x1b[33m[WARNING]")
                                      : QStringLiteral("\x1b[31m[ERROR]");
}

} // namespace

QString formatLogLine(LogLevel level, const QString &message)
{
    // Both placeholders in one pass, so a "%1" inside the message stays as it is.
    return QStringLiteral("%1 \x1b[0m%2").arg(prefix(level), message);
}

bool isErrorLine(const QString &line)
{
    return line.startsWith(prefix(LogLevel::Error));
}

bool isWarningLine(const QString &line)
{
    return line.startsWith(prefix(LogLevel::Warning));
}
