#pragma once

#include <QStringList>

// The log list that lines about changes go to while a step runs: the walk's
// log for one character folder, or the conversion's own lines while it runs,
// so a line about a change stands right after the line of the step that
// made it. One per thread; the innermost sink wins.
class LogSink
{
public:
    explicit LogSink(QStringList &log);
    ~LogSink();
    LogSink(const LogSink &) = delete;
    LogSink &operator=(const LogSink &) = delete;

    // The innermost sink's list; null when no step runs.
    static QStringList *current();

private:
    QStringList *m_previous;
};
