#pragma once

#include "filesystem/change.h"

#include <QString>

// What a warning or error line is about: either one entry (`path`) or the
// two places of a relocation (`from` and `to`), as the walk names them
// (absolute).
struct LineSubject
{
    QString path;
    QString from;
    QString to;
};

// One line of a run's log, made once where it happens. The coloured text, the
// HTML, the JSON Lines and the counts are all renderings of these records.
struct LogRecord
{
    enum class Kind {
        Text, // a plain line: "Restructuring %1...", "Converting %1...", "Done!\n"
        Warning,
        Error,
        Change, // a change made (or, dry, planned); shown only where a log asks for it
    };

    Kind kind = Kind::Text;
    QString text; // as the log shows it, without a warning's or error's mark
    QString character; // the character folder the line is about, as listed; empty for none
    LineSubject subject;
    Change change; // Kind::Change

    static LogRecord line(const QString &text);
    static LogRecord warning(const QString &message, const LineSubject &subject);
    static LogRecord error(const QString &message, const LineSubject &subject = {});
};
