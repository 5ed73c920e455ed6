#include "log/loglevel.h"

QString formatLogLine(LogLevel level, const QString &message)
{
    const QString mark = level == LogLevel::Warning ? QStringLiteral("\x1b[33m[WARNING]")
                                                    : QStringLiteral("\x1b[31m[ERROR]");
    // Both placeholders in one pass, so a "%1" inside the message stays as it is.
    return QStringLiteral("%1 \x1b[0m%2").arg(mark, message);
}
