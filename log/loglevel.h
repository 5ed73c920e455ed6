#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Level of a coloured log line. Plain lines ("Restructuring %1...", "Done!")
// have no level.
enum class LogLevel {
    Warning = 0,
    Error = 1,
};

// "\e[33m[WARNING] \e[0m<message>" or "\e[31m[ERROR] \e[0m<message>".
QString formatLogLine(LogLevel level, const QString &message);

// True for a line formatLogLine made with LogLevel::Error.
bool isErrorLine(const QString &line);

// True for a line formatLogLine made with LogLevel::Warning.
bool isWarningLine(const QString &line);

// The machine output (--json) is carried in the log list itself: a record
// line starts with a character no log line can hold (every name a line shows
// escapes it), so it never mixes with the text, and it is there only when a
// run was asked for records.
QString recordLine(const QByteArray &record);
bool isRecordLine(const QString &line);
QString recordOfLine(const QString &line);

// Text as a JSON string, quotes included.
QByteArray jsonString(const QString &text);

// What a warning or error line is about, for its record: either one entry
// (`path`) or the two places of a relocation (`from` and `to`), as the walk
// names them (absolute).
struct LineSubject
{
    QString path;
    QString from;
    QString to;
};

// While one is open, appendLogLine follows each warning and error line with
// its record: {"op":"warning"|"error","text":...,"character":...} and the
// paths, all from the client's top folder. One at a time; lines made on the
// read-ahead thread during the walk are covered too.
class LineRecords
{
public:
    explicit LineRecords(const QString &client);
    ~LineRecords();
    LineRecords(const LineRecords &) = delete;
    LineRecords &operator=(const LineRecords &) = delete;
};

// Appends formatLogLine(level, message) to the log, and its record while
// LineRecords are open.
void appendLogLine(QStringList &log, LogLevel level, const QString &message, const LineSubject &subject);
// The same as a list, for code that hands its lines on.
QStringList logLines(LogLevel level, const QString &message, const LineSubject &subject);
