#pragma once

#include <QString>

#include <cstdio>

// A one-line progress display kept on a terminal and erased at the end.
// Writes nothing when the stream is not a terminal.
class ProgressLine
{
public:
    explicit ProgressLine(FILE *stream);
    ~ProgressLine();

    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    void show(int done, int total, const QString &name);
    void clear();

private:
    FILE *m_stream;
    bool m_enabled;
    bool m_shown = false;
};
