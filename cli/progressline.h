#pragma once

#include "log/terminaltext.h"

#include <QElapsedTimer>
#include <QString>

#include <cstdio>

// A one-line progress display kept on a terminal and erased at the end: n of
// m, percent, time spent and an estimate of the time left, and the name in
// hand, shortened to fit the terminal's width. Redrawn at most ten times a
// second. Writes nothing unless `enabled`. On a terminal the name is shown
// through terminalText, as `kind` says it came (raw, or through displayName).
class ProgressLine
{
public:
    ProgressLine(FILE *stream, bool enabled);
    ~ProgressLine();

    ProgressLine(const ProgressLine &) = delete;
    ProgressLine &operator=(const ProgressLine &) = delete;

    void show(int done, int total, const QString &name, TerminalText kind);
    void clear();

    // The line for the given state and width, without control sequences.
    static QString format(int done, int total, qint64 elapsedMs, const QString &name, int width);

    // Whether the line is drawn when no option asks for it: only on a
    // terminal that can erase it, while the log goes to that terminal or
    // into a file. Over a pager or a pipe the line would be drawn in the
    // middle of what the reader sees.
    static bool wantedByDefault();

private:
    FILE *m_stream;
    bool m_enabled;
    bool m_shown = false;
    QElapsedTimer m_started;
    qint64 m_lastDrawn = -1;
};
