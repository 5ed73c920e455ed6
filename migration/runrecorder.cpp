#include "migration/runrecorder.h"

#include "journal/journal.h"
#include "log/logsink.h"
#include "paths/displayname.h"

namespace {

// A path as a user reads it in a character's log: relative to the character
// folder, or to the client for anything outside one (or in any log without
// character blocks).
QString shown(const QString &path, const QString &client, ShownFrom from)
{
    const QString characters = client + QStringLiteral("/base/characters/");
    QString relative = path;
    if (from == ShownFrom::Character && path.startsWith(characters)) {
        relative = path.mid(characters.size());
        relative = relative.mid(relative.indexOf(QLatin1Char('/')) + 1);
    } else if (path.startsWith(client + QLatin1Char('/'))) {
        relative = path.mid(client.size() + 1);
    }
    return displayName(relative);
}

} // namespace

RunRecorder::RunRecorder(
    const QString &client, ChangeLines lines, ShownFrom shownFrom, ChangeObserver *journal)
    : m_client(client)
    , m_lines(lines)
    , m_shownFrom(shownFrom)
    , m_journal(journal)
{
}

bool RunRecorder::aboutToChange(const Change &change, FileError *why)
{
    return !m_journal || m_journal->aboutToChange(change, why);
}

void RunRecorder::changeFailed(const Change &change)
{
    if (m_journal)
        m_journal->changeFailed(change);
}

void RunRecorder::changed(const Change &change)
{
    if (m_journal)
        m_journal->changed(change);
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
    QStringList *log = LogSink::current();
    if (!log || m_lines == ChangeLines::None)
        return;
    if (m_lines == ChangeLines::Json)
        log->append(recordLine(changeRecord(change, m_client, OwnerField::Named)));
    else
        log->append(plainLine(change));
}

QString RunRecorder::plainLine(const Change &change) const
{
    const QString path = shown(change.path, m_client, m_shownFrom);
    switch (change.kind) {
    case Change::Move:
        return QStringLiteral("  moved %1 to %2").arg(path, shown(change.other, m_client, m_shownFrom));
    case Change::Delete:
        if (change.other.isEmpty())
            return QStringLiteral("  deleted %1").arg(path);
        return QStringLiteral("  deleted %1 (same bytes as %2)")
            .arg(path, shown(change.other, m_client, m_shownFrom));
    case Change::Write:
        return QStringLiteral("  wrote %1").arg(path);
    case Change::MakeFolder:
        return QStringLiteral("  created folder %1").arg(path);
    case Change::RemoveFolder:
        return QStringLiteral("  removed folder %1").arg(path);
    }
    return QString();
}
