#pragma once

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

// A one-line progress display kept on a terminal and erased at the end: n of
// m, percent, time spent and an estimate of the time left, and the name in
// hand, shortened to fit the terminal's width. Redrawn at most ten times a
// second. Writes nothing when the stream is not a terminal or the terminal
// is dumb.
class ProgressLine
{
public:
    explicit ProgressLine(FILE *stream);
    ~ProgressLine();

    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    void show(int done, int total, const QString &name);
    void clear();

    // The line for the given state and width, without control sequences.
    static QString format(int done, int total, qint64 elapsedMs, const QString &name, int width);

private:
    FILE *m_stream;
    bool m_enabled;
    bool m_shown = false;
    QElapsedTimer m_started;
    qint64 m_lastDrawn = -1;
};
