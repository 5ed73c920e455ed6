#include "undo/undotarget.h"

#include "filesystem/clientroot.h"
#include "filesystem/parentfolder.h"
#include "filesystem/posixfile.h"
#include "journal/journal.h"

#include <QDir>
#include <QFileInfo>

namespace {

// What taking a change back looks like in an undo's own journal, as one key:
// an earlier undo that recorded it may have made it already.
quint64 takenBackKey(Change::Kind kind, const QString &path, const QString &other, const QByteArray &sha3)
{
    const QByteArray text
        = QByteArray::number(int(kind)) + '\0' + path.toUtf8() + '\0' + other.toUtf8() + '\0' + sha3;
    return (quint64(qHash(text, 0x9e3779b9u)) << 32) | qHash(text, 0x85ebca6bu);
}

} // namespace

// The key of the change that takes `change` back.
quint64 inverseKey(const Change &change)
{
    switch (change.kind) {
    case Change::Write:
        return takenBackKey(Change::Delete, change.path, QString(), change.sha3);
    case Change::Delete:
        return takenBackKey(Change::Write, change.path, QString(), change.sha3);
    case Change::Move:
        return takenBackKey(Change::Move, change.other, change.path, QByteArray());
    case Change::MakeFolder:
        return takenBackKey(Change::RemoveFolder, change.path, QString(), QByteArray());
    case Change::RemoveFolder:
        break;
    }
    return 0;
}

namespace {

quint64 ownKey(const Change &change)
{
    const bool twinless = change.kind == Change::Delete || change.kind == Change::Write;
    return takenBackKey(change.kind, change.path, twinless ? QString() : change.other,
        change.kind == Change::Move || change.kind == Change::RemoveFolder ? QByteArray() : change.sha3);
}

} // namespace

// The client and, when one is named, the journal a target names.
bool clientOf(const QString &target, QString *client, QString *journal, QString *why)
{
    const QFileInfo info(target);
    if (info.isDir()) {
        *client = QDir::cleanPath(info.absoluteFilePath());
        return true;
    }
    const QString folder = QDir::cleanPath(info.absolutePath());
    if (!info.exists() || QFileInfo(folder).fileName() != QLatin1String(journalFolderName)
        || !isJournalName(info.fileName())) {
        *why = QStringLiteral("'%1' is neither a client folder nor a journal in its %2 folder")
                   .arg(target, QLatin1String(journalFolderName));
        return false;
    }
    *client = parentFolder(folder);
    *journal = info.fileName();
    return true;
}

// What the undo journals of `name` recorded taking back, by key.
QHash<quint64, int> takenBack(
    const ClientRoot &client, const QVector<JournalSummary> &journals, const QString &name)
{
    QHash<quint64, int> keys;
    const PosixFile::Descriptor folder(openJournalFolder(client));
    for (const JournalSummary &journal : journals) {
        if (!journal.readable || journal.header.undoOf != name)
            continue;
        JournalIndex index;
        QString why;
        if (!index.open(folder.fd, journal.name.toLatin1(), &why))
            continue;
        JournalRecord record;
        int line = 0;
        while (index.previous(&record, &line, &why))
            ++keys[ownKey(record.change)];
    }
    return keys;
}
