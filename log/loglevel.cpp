#include "log/loglevel.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <algorithm>

namespace {

QString prefix(LogLevel level)
{
    return level == LogLevel::Warning ? QStringLiteral("\x1b[33m[WARNING]")
                                      : QStringLiteral("\x1b[31m[ERROR]");
}

const QChar recordMark(0x1e); // escaped in every name a log line shows

// Set before a run's walk starts and cleared after it, so the read-ahead
// thread sees it unchanged throughout.
QString recordsClient;
bool recordsWanted = false;

QString fromClient(const QString &path)
{
    const QString prefix = recordsClient + QLatin1Char('/');
    return path.startsWith(prefix) ? path.mid(prefix.size()) : path;
}

// The character folder a path lies in, by the name it was listed under.
QString characterOf(const QString &relative)
{
    const QString characters = QStringLiteral("base/characters/");
    if (!relative.startsWith(characters))
        return QString();
    return relative.mid(characters.size()).section(QLatin1Char('/'), 0, 0);
}

QByteArray jsonOrNull(const QString &text)
{
    return text.isEmpty() ? QByteArray("null") : jsonString(text);
}

QByteArray lineRecord(LogLevel level, const QString &message, const LineSubject &subject)
{
    const QString first = fromClient(subject.path.isEmpty() ? subject.from : subject.path);
    QByteArray record = QByteArray("{\"op\":\"") + (level == LogLevel::Warning ? "warning" : "error")
        + "\",\"text\":" + jsonString(message) + ",\"character\":" + jsonOrNull(characterOf(first));
    if (!subject.path.isEmpty())
        record += ",\"path\":" + jsonString(first);
    else if (!subject.from.isEmpty())
        record += ",\"from\":" + jsonString(first) + ",\"to\":" + jsonString(fromClient(subject.to));
    return record + '}';
}

} // namespace

QString formatLogLine(LogLevel level, const QString &message)
{
    // Both placeholders in one pass, so a "%1" inside the message stays as it is.
    return QStringLiteral("%1 \x1b[0m%2").arg(prefix(level), message);
}

bool isErrorLine(const QString &line)
{
    return line.startsWith(prefix(LogLevel::Error));
}

bool isWarningLine(const QString &line)
{
    return line.startsWith(prefix(LogLevel::Warning));
}

QString recordLine(const QByteArray &record)
{
    return recordMark + QString::fromUtf8(record);
}

bool isRecordLine(const QString &line)
{
    return line.startsWith(recordMark);
}

QString recordOfLine(const QString &line)
{
    return line.mid(1);
}

QByteArray jsonString(const QString &text)
{
    // Printable ASCII but quote and backslash stands in JSON as it is.
    const bool plain = std::all_of(text.cbegin(), text.cend(), [](QChar c) {
        return c.unicode() >= 0x20 && c.unicode() < 0x7f && c != QLatin1Char('"') && c != QLatin1Char('\\');
    });
    if (plain)
        return '"' + text.toLatin1() + '"';
    const QByteArray array = QJsonDocument(QJsonArray{text}).toJson(QJsonDocument::Compact);
    return array.mid(1, array.size() - 2);
}

LineRecords::LineRecords(const QString &client)
{
    recordsClient = client.endsWith(QLatin1Char('/')) ? client.chopped(1) : client;
    recordsWanted = true;
}

LineRecords::~LineRecords()
{
    recordsWanted = false;
    recordsClient.clear();
}

void appendLogLine(QStringList &log, LogLevel level, const QString &message, const LineSubject &subject)
{
    log.append(formatLogLine(level, message));
    if (recordsWanted)
        log.append(recordLine(lineRecord(level, message, subject)));
}

QStringList logLines(LogLevel level, const QString &message, const LineSubject &subject)
{
    QStringList lines;
    appendLogLine(lines, level, message, subject);
    return lines;
}
