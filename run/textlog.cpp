#include "run/textlog.h"

#include "log/loglevel.h"
#include "paths/displayname.h"

namespace {

// A path as a user reads it in a character's log: relative to the character
// folder, or to the client for anything outside one (or in any log without
// character blocks).
QString shown(const QString &path, const TextForm &form)
{
    const QString characters = form.client + QStringLiteral("/base/characters/");
    QString relative = path;
    if (form.shownFrom == ShownFrom::Character && path.startsWith(characters)) {
        relative = path.mid(characters.size());
        relative = relative.mid(relative.indexOf(QLatin1Char('/')) + 1);
    } else if (path.startsWith(form.client + QLatin1Char('/'))) {
        relative = path.mid(form.client.size() + 1);
    }
    return displayName(relative);
}

QString changeLine(const Change &change, const TextForm &form)
{
    const QString path = shown(change.path, form);
    switch (change.kind) {
    case Change::Move:
        return QStringLiteral("  moved %1 to %2").arg(path, shown(change.other, form));
    case Change::Delete:
        if (change.other.isEmpty())
            return QStringLiteral("  deleted %1").arg(path);
        return QStringLiteral("  deleted %1 (same bytes as %2)").arg(path, shown(change.other, form));
    case Change::Write:
        return QStringLiteral("  wrote %1").arg(path);
    case Change::MakeFolder:
        return QStringLiteral("  created folder %1").arg(path);
    case Change::RemoveFolder:
        return QStringLiteral("  removed folder %1").arg(path);
    }
    return QString();
}

} // namespace

QString textLine(const LogRecord &record, const TextForm &form)
{
    switch (record.kind) {
    case LogRecord::Kind::Text:
        return record.text;
    case LogRecord::Kind::Warning:
        return formatLogLine(LogLevel::Warning, record.text);
    case LogRecord::Kind::Error:
        return formatLogLine(LogLevel::Error, record.text);
    case LogRecord::Kind::Change:
        return form.changes ? changeLine(record.change, form) : QString();
    }
    return QString();
}

QStringList textLines(const QVector<LogRecord> &records, const TextForm &form)
{
    QStringList lines;
    lines.reserve(records.size());
    for (const LogRecord &record : records) {
        if (record.kind != LogRecord::Kind::Change || form.changes)
            lines.append(textLine(record, form));
    }
    return lines;
}

QString joinLog(const QStringList &log)
{
    return log.join(QLatin1Char('\n'));
}
