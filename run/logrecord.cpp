#include "run/logrecord.h"

LogRecord LogRecord::line(const QString &text)
{
    LogRecord record;
    record.text = text;
    return record;
}

LogRecord LogRecord::warning(const QString &message, const LineSubject &subject)
{
    LogRecord record;
    record.kind = Kind::Warning;
    record.text = message;
    record.subject = subject;
    return record;
}

LogRecord LogRecord::error(const QString &message, const LineSubject &subject)
{
    LogRecord record;
    record.kind = Kind::Error;
    record.text = message;
    record.subject = subject;
    return record;
}
