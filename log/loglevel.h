#pragma once

#include <QString>

// Level of a coloured log line. Plain lines ("Restructuring %1...", "Done!")
// have no level.
enum class LogLevel {
    Warning = 0,
    Error = 1,
};

// "\e[33m[WARNING] \e[0m<message>" or "\e[31m[ERROR] \e[0m<message>".
QString formatLogLine(LogLevel level, const QString &message);
