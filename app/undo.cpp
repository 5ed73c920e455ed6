#include "app/undo.h"

#include "app/journal.h"
#include "app/loglevel.h"
#include "paths/displayname.h"
#include "paths/filesystem.h"
#include "paths/logsink.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>

namespace {

struct JournalFile
{
    QJsonObject header;
    QVector<Change> changes;
    QStringList damaged; // lines that are no record
};

JournalFile readJournal(const QString &path)
{
    JournalFile journal;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return journal;
    const QList<QByteArray> lines = file.readAll().split('\n');
    journal.header = QJsonDocument::fromJson(lines.value(0)).object();
    const QString client = journal.header.value(QLatin1String("client")).toString();
    auto absolute = [&client](const QJsonValue &value) {
        return value.isString() ? client + QLatin1Char('/') + value.toString() : QString();
    };
    for (int i = 1; i < lines.size(); ++i) {
        if (lines.at(i).isEmpty())
            continue;
        const QJsonObject record = QJsonDocument::fromJson(lines.at(i)).object();
        const QString op = record.value(QLatin1String("op")).toString();
        Change change;
        change.path = absolute(record.value(QLatin1String(op == QLatin1String("move") ? "from" : "path")));
        change.sha3 = QByteArray::fromHex(record.value(QLatin1String("sha3_256")).toString().toLatin1());
        if (op == QLatin1String("move")) {
            change.kind = Change::Move;
            change.other = absolute(record.value(QLatin1String("to")));
        } else if (op == QLatin1String("delete")) {
            change.kind = Change::Delete;
            change.other = absolute(record.value(QLatin1String("twin")));
            change.size = qint64(record.value(QLatin1String("size")).toDouble(-1));
        } else if (op == QLatin1String("write")) {
            change.kind = Change::Write;
        } else if (op == QLatin1String("mkdir")) {
            change.kind = Change::MakeFolder;
        } else {
            // A kill may cut the last line short; any other stray line is said.
            if (i + 1 < lines.size() && !lines.at(i + 1).isEmpty())
                journal.damaged.append(QString::number(i + 1));
            continue;
        }
        if (change.path.isEmpty() || (change.kind == Change::Move && change.other.isEmpty()))
            journal.damaged.append(QString::number(i + 1));
        else
            journal.changes.append(change);
    }
    return journal;
}

// The journals of a client, oldest first: names are UTC times, and a run in
// the same second as another has a suffix "-N".
QStringList journalsIn(const QString &folder)
{
    QStringList names = QDir(folder).entryList({QStringLiteral("*.jsonl")}, QDir::Files);
    auto order = [](const QString &name) {
        const QString stem = name.left(name.size() - 6);
        const int dash = stem.indexOf(QLatin1Char('-'));
        return qMakePair(stem.left(dash < 0 ? stem.size() : dash), dash < 0 ? 1 : stem.mid(dash + 1).toInt());
    };
    std::sort(names.begin(), names.end(),
        [&order](const QString &a, const QString &b) { return order(a) < order(b); });
    return names;
}

QJsonObject headerOf(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return QJsonObject();
    return QJsonDocument::fromJson(file.readLine()).object();
}

QString undoOf(const QString &path)
{
    return headerOf(path).value(QLatin1String("undo_of")).toString();
}

// A journal whose header a kill cut short recorded no change: nothing to undo.
bool isMigrationJournal(const QString &path)
{
    const QJsonObject header = headerOf(path);
    return !header.value(QLatin1String("client")).toString().isEmpty()
        && header.value(QLatin1String("undo_of")).isNull();
}

class Undoer
{
public:
    Undoer(FileSystem &files, const QString &client, QStringList &log)
        : m_files(files)
        , m_client(client)
        , m_log(log)
    {
    }

    void undo(const Change &change, bool last)
    {
        switch (change.kind) {
        case Change::Write:
            undoWrite(change, last);
            break;
        case Change::Delete:
            undoDelete(change, last);
            break;
        case Change::Move:
            undoMove(change, last);
            break;
        case Change::MakeFolder:
            undoMakeFolder(change, last);
            break;
        case Change::RemoveFolder:
            break;
        }
    }

private:
    QString shown(const QString &path) const { return displayName(path.mid(m_client.size() + 1)); }

    void fail(const QString &message) { m_log.append(formatLogLine(LogLevel::Error, message)); }

    // A temporary file a killed run left beside its target goes too.
    void removeLeftover(const QString &path)
    {
        const QString temporary = temporarySibling(path);
        ComparedSource seen;
        QString reason;
        if (m_files.status(temporary).exists && m_files.inspect(temporary, &seen, &reason))
            m_files.removeCompared(temporary, QString(), seen, &reason);
    }

    void undoWrite(const Change &change, bool last)
    {
        QString reason = QStringLiteral("it is gone");
        ComparedSource seen;
        if (m_files.status(change.path).exists) {
            if (m_files.inspect(change.path, &seen, &reason) && seen.sha3 != change.sha3)
                reason = QStringLiteral("it changed since the run wrote it");
            else if (seen.sha3 == change.sha3
                && m_files.removeCompared(change.path, QString(), seen, &reason))
                return;
        } else if (last) {
            removeLeftover(change.path);
            return;
        }
        fail(QStringLiteral("cannot remove %1: %2").arg(shown(change.path), reason));
    }

    void undoDelete(const Change &change, bool last)
    {
        QString reason;
        if (!m_files.status(change.path).exists) {
            if (m_files.copyFile(change.other, change.path, change.sha3, &reason))
                return;
        } else {
            ComparedSource seen;
            if (last && m_files.inspect(change.path, &seen, &reason) && seen.sha3 == change.sha3)
                return; // never deleted
            reason = QStringLiteral("its place is taken");
        }
        fail(QStringLiteral("cannot restore %1 from %2: %3")
                 .arg(shown(change.path), shown(change.other), reason));
    }

    void undoMove(const Change &change, bool last)
    {
        const bool there = m_files.status(change.other).exists;
        const bool free = !m_files.status(change.path).exists;
        QString reason;
        if (there && free) {
            if (m_files.move(change.other, change.path, &reason))
                return;
        } else if (last && !there && !free) {
            removeLeftover(change.other);
            return; // never moved
        } else {
            reason = there ? QStringLiteral("its old place is taken") : QStringLiteral("it is gone");
        }
        fail(QStringLiteral("cannot move %1 back to %2: %3")
                 .arg(shown(change.other), shown(change.path), reason));
    }

    void undoMakeFolder(const Change &change, bool last)
    {
        const EntryStatus status = m_files.status(change.path);
        QString reason = QStringLiteral("it is gone");
        if (status.isFolder() && !status.isLink) {
            if (m_files.removeEmptyFolder(change.path, &reason))
                return;
        } else if (last && !status.exists) {
            return; // never made
        }
        fail(QStringLiteral("cannot remove the folder %1: %2").arg(shown(change.path), reason));
    }

    FileSystem &m_files;
    QString m_client;
    QStringList &m_log;
};

} // namespace

QString undoableJournal(const QString &folder, QString *error)
{
    const QString journals = journalFolder(QDir(folder).absolutePath());
    const QStringList names = journalsIn(journals);
    QStringList undone;
    for (const QString &name : names)
        undone.append(undoOf(journals + QLatin1Char('/') + name));
    for (auto it = names.crbegin(); it != names.crend(); ++it) {
        const QString path = journals + QLatin1Char('/') + *it;
        if (isMigrationJournal(path) && !undone.contains(*it))
            return path;
    }
    *error = QStringLiteral("no journal left to undo in %1").arg(journals);
    return QString();
}

QString undoneBy(const QString &journal)
{
    const QFileInfo info(journal);
    for (const QString &name : journalsIn(info.absolutePath())) {
        if (undoOf(info.absolutePath() + QLatin1Char('/') + name) == info.fileName())
            return name;
    }
    return QString();
}

RunReport undoJournal(const QString &journalPath, const RunOptions &options)
{
    RunReport report;
    const JournalFile journal = readJournal(journalPath);
    const QString client = journal.header.value(QLatin1String("client")).toString();
    if (client.isEmpty() || !journal.header.value(QLatin1String("undo_of")).isNull()) {
        report.failure = QStringLiteral("%1 is no journal of a migration").arg(journalPath);
        return report;
    }
    RunSeam seam(client, options);
    if (!seam.keepJournal(QFileInfo(journalPath).fileName(), report))
        return report;
    FileSystem &files = seam.files();

    QStringList &log = report.log;
    log.append(QStringLiteral("Undoing %1...").arg(displayName(QFileInfo(journalPath).fileName())));
    {
        const LogSink sink(log);
        const FileSystemScope scope(files);
        for (const QString &line : journal.damaged)
            log.append(formatLogLine(
                LogLevel::Error, QStringLiteral("line %1 of the journal is no record").arg(line)));
        Undoer undoer(files, client, log);
        for (int i = journal.changes.size() - 1; i >= 0; --i)
            undoer.undo(journal.changes.at(i), i == journal.changes.size() - 1);
    }
    log.append(QStringLiteral("Done!\n"));
    seam.finish(report);
    return report;
}
