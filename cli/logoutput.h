#pragma once

#include "run/textlog.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <cstdio>

class ProgressLine;

// How the log reaches standard output.
enum class LogFormat {
    Text, // the window's text, colour codes kept or stripped
    Json, // one JSON object a line: change records, warnings and errors
    Html, // one complete HTML document, written at the end
};

// Writes a run's log as it comes, character by character, so that an
// interrupted run has printed every block it finished: its records rendered
// as the format asks, the text as the window shows it (change lines as
// `form` says), joined with line feeds.
class LogOutput
{
public:
    LogOutput(LogFormat format, bool colour, const TextForm &form, ProgressLine &progress);

    // Standard output was closed: nothing more is written, and `closed` was
    // told once.
    bool isClosed() const { return m_closed; }
    void onClosed(void (*closed)()) { m_onClosed = closed; }

    // The client's top folder, which the records' paths are shown from.
    void setClient(const QString &client) { m_form.client = client; }
    void writeBlock(const QVector<LogRecord> &block);
    // Ends the text log with one more line, after an empty one as the window
    // shows it, and a line feed so that the line reaches line-reading tools.
    void writeLastLine(const QString &line);
    // Ends the text log with a line feed, as writeLastLine does.
    void endLine();
    // One record of the JSON output, without its line feed.
    void writeRecord(const QByteArray &record);
    // Writes what the format keeps for the end: the HTML document.
    void finish(const QVector<LogRecord> &log, const QString &title);

private:
    void write(const QByteArray &bytes);
    void writeText(const QStringList &lines);

    LogFormat m_format;
    bool m_colour;
    TextForm m_form;
    ProgressLine &m_progress;
    bool m_first = true;
    bool m_closed = false;
    void (*m_onClosed)() = nullptr;
};
