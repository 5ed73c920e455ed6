#include "run/report.h"

Report::Report(const QString &client, bool keepsChanges)
    : m_client(client.endsWith(QLatin1Char('/')) ? client.chopped(1) : client)
    , m_keepsChanges(keepsChanges)
{
}

// The character folder a record's first path lies in, by the name it was
// listed under.
QString Report::characterOf(const LogRecord &record) const
{
    const QString &path = record.kind == LogRecord::Kind::Change ? record.change.path
        : record.subject.path.isEmpty()                          ? record.subject.from
                                                                 : record.subject.path;
    const QString characters = m_client + QStringLiteral("/base/characters/");
    if (!path.startsWith(characters))
        return QString();
    return path.mid(characters.size()).section(QLatin1Char('/'), 0, 0);
}

void Report::line(const QString &text)
{
    append(LogRecord::line(text));
}

void Report::warning(const QString &message, const LineSubject &subject)
{
    append(LogRecord::warning(message, subject));
}

void Report::error(const QString &message, const LineSubject &subject)
{
    append(LogRecord::error(message, subject));
}

void Report::append(LogRecord record)
{
    if (record.kind == LogRecord::Kind::Error)
        ++m_errors;
    if (record.character.isEmpty())
        record.character = characterOf(record);
    m_records.append(std::move(record));
}

void Report::append(const QVector<LogRecord> &records)
{
    for (const LogRecord &record : records)
        append(record);
}

void Report::change(const Change &change)
{
    keepAnnouncement();
    switch (change.kind) {
    case Change::Move:
        ++m_counts.moves;
        break;
    case Change::Delete:
        ++m_counts.deletions;
        break;
    case Change::Write:
        ++m_counts.documents;
        break;
    case Change::MakeFolder:
    case Change::RemoveFolder:
        ++m_counts.folders;
        break;
    }
    if (!m_keepsChanges)
        return;
    LogRecord record;
    record.kind = LogRecord::Kind::Change;
    record.change = change;
    append(std::move(record));
}

void Report::announce(LogRecord record)
{
    m_announced = std::move(record);
}

void Report::keepAnnouncement()
{
    if (!m_announced)
        return;
    LogRecord record = std::move(*m_announced);
    m_announced.reset();
    append(std::move(record));
}

void Report::dropAnnouncement()
{
    m_announced.reset();
}

QVector<LogRecord> Report::takeRecords()
{
    QVector<LogRecord> taken;
    taken.swap(m_records);
    return taken;
}
