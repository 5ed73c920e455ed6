#include "log/logsink.h"

namespace {

thread_local QStringList *innermost = nullptr;

} // namespace

LogSink::LogSink(QStringList &log)
    : m_previous(innermost)
{
    innermost = &log;
}

LogSink::~LogSink()
{
    innermost = m_previous;
}

QStringList *LogSink::current()
{
    return innermost;
}
