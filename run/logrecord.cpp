#include "run/logrecord.h"

namespace {

LogRecord made(LogRecord::Kind kind, const QString &text, const LineSubject &subject = {})
{
    LogRecord record;
    record.kind = kind;
    record.text = text;
    record.subject = subject;
    return record;
}

} // namespace

LogRecord LogRecord::line(const QString &text)
{
    return made(Kind::Text, text);
}

LogRecord LogRecord::warning(const QString &message, const LineSubject &subject)
{
    return made(Kind::Warning, message, subject);
}

LogRecord LogRecord::error(const QString &message, const LineSubject &subject)
{
    return made(Kind::Error, message, subject);
}
