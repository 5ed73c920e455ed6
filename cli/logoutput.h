#pragma once

#include <QString>
#include <QStringList>

#include <cstdio>

class ProgressLine;

// How the log reaches standard output.
enum class LogFormat {
    Text, // the window's text, colour codes kept or stripped
    Json, // one JSON object a line: change records, warnings and errors
    Html, // one complete HTML document, written at the end
};

// Writes a run's log as it comes, character by character, so that an
// interrupted run has printed every block it finished; the whole output is
// the log joined with line feeds.
class LogOutput
{
public:
    LogOutput(LogFormat format, bool colour, ProgressLine &progress);

    // Standard output was closed: nothing more is written, and `closed` was
    // told once.
    bool isClosed() const { return m_closed; }
    void onClosed(void (*closed)()) { m_onClosed = closed; }

    void writeBlock(const QStringList &block);
    // Ends the text log with one more line, after an empty one as the window
    // shows it, and a line feed so that the line reaches line-reading tools.
    void writeLastLine(const QString &line);
    // One record of the JSON output, without its line feed.
    void writeRecord(const QByteArray &record);
    // Writes what the format keeps for the end: the HTML document.
    void finish(const QStringList &log, const QString &title);

private:
    void write(const QByteArray &bytes);

    LogFormat m_format;
    bool m_colour;
    ProgressLine &m_progress;
    bool m_first = true;
    bool m_closed = false;
    void (*m_onClosed)() = nullptr;
};
