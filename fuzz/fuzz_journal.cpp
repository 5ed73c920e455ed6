// The journal reader and the dry undo on any journal. The input's lines go to
// the header and record readers: an accepted record holds only what an undo
// may act on (relative paths of plain parts, outside the journal folder;
// digests of 32 bytes; sizes and attributes in range) and is written back by
// the journal writer to the same record. Then the input is the journal of a
// scratch client (a header put before it unless it starts with "{"): the
// index of that file agrees with reading its lines one by one, and a dry undo
// of it changes nothing, neither in the client nor in the folder beside it
// that a link of the client leads to, reads nothing there, and plans no change
// outside the client.

#include "fuzz/fuzzsupport.h"
#include "journal/journal.h"
#include "journal/journalfile.h"
#include "journal/journalformat.h"
#include "migration/runrecorder.h"
#include "undo/undo.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QVector>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString journalName = QStringLiteral("20260101T000000Z.jsonl");
const QByteArray header = "{\"veltra\":\"fuzz\",\"started\":\"2026-01-01T00:00:00Z\",\"client\":\"/c\","
                          "\"undo_of\":null}\n";
// The part of a planned change's path that leads out of the client.
const QString away = QStringLiteral("base/characters/Kit/away");

// The rule for a record's paths, stated again apart from the reader.
bool plainPath(const QString &path)
{
    if (path.isEmpty() || path.startsWith(QLatin1Char('/')))
        return false;
    if (path.contains(QChar(0)) || QString::fromUtf8(path.toUtf8()) != path)
        return false;
    const QStringList parts = path.split(QLatin1Char('/'));
    for (const QString &part : parts) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String(".."))
            return false;
    }
    return parts.first() != QLatin1String(journalFolderName);
}

bool sameRecord(const JournalRecord &a, const JournalRecord &b)
{
    const Change &x = a.change;
    const Change &y = b.change;
    return a.end == b.end && a.stopped == b.stopped && a.errors == b.errors && a.left == b.left
        && x.kind == y.kind && x.path == y.path && x.other == y.other && x.sha3 == y.sha3 && x.size == y.size
        && x.attributes.known == y.attributes.known && x.attributes.mode == y.attributes.mode
        && x.attributes.modified == y.attributes.modified && x.attributes.owner == y.attributes.owner
        && x.attributes.group == y.attributes.group;
}

QString shown(const QByteArray &line)
{
    return QString::fromUtf8(line.left(300));
}

void checkRecord(const JournalRecord &record, const QByteArray &line)
{
    const Change &change = record.change;
    if (record.end) {
        Fuzz::require(
            record.errors >= 0 && record.left >= -1, "an end record's counts are in range", shown(line));
        Fuzz::require(
            change.path.isEmpty() && change.other.isEmpty(), "an end record names no path", shown(line));
        return;
    }
    Fuzz::require(plainPath(change.path), "a record's path is relative and plain", change.path);
    const bool hasDigest = change.kind == Change::Write || change.kind == Change::Delete;
    Fuzz::require(
        change.sha3.size() == (hasDigest ? 32 : 0), "a digest is 32 bytes where there is one", shown(line));
    switch (change.kind) {
    case Change::Move:
        Fuzz::require(plainPath(change.other), "a move's target is relative and plain", change.other);
        break;
    case Change::Delete:
        Fuzz::require(
            change.other.isEmpty() || plainPath(change.other), "a twin is relative and plain", change.other);
        Fuzz::require(
            change.size >= 0 && change.size <= (qint64(1) << 53), "a size is in range", shown(line));
        if (change.attributes.known) {
            const FileAttributes &a = change.attributes;
            const bool unowned = a.owner == -1 && a.group == -1;
            Fuzz::require(a.mode <= 07777
                    && (unowned
                        || (a.owner >= 0 && a.owner <= 0xffffffffLL && a.group >= 0
                            && a.group <= 0xffffffffLL)),
                "a deleted file's attributes are in range", shown(line));
        }
        break;
    default:
        Fuzz::require(change.other.isEmpty(), "only moves and deletions name a second path", shown(line));
        break;
    }
    // The writer takes absolute paths and writes them relative to the client.
    Change absolute = change;
    absolute.path = QStringLiteral("/c/") + change.path;
    if (!change.other.isEmpty())
        absolute.other = QStringLiteral("/c/") + change.other;
    const QByteArray written = changeRecord(absolute, QStringLiteral("/c"), OwnerField::Named);
    JournalRecord again;
    QString why;
    Fuzz::require(parseJournalRecord(written, &again, &why), "a record written back is read again",
        shown(written) + QStringLiteral("\n") + why);
    Fuzz::require(sameRecord(record, again), "a record written back reads the same",
        shown(line) + QStringLiteral("\n") + shown(written));
}

void checkLines(const QByteArray &input)
{
    for (const QByteArray &line : input.split('\n')) {
        JournalHeader journalHeader;
        QString why;
        if (parseJournalHeader(line, &journalHeader, &why))
            Fuzz::require(journalHeader.undoOf.isEmpty() || isJournalName(journalHeader.undoOf),
                "a header's undone journal has a journal's name", journalHeader.undoOf);
        JournalRecord record;
        why.clear();
        if (parseJournalRecord(line, &record, &why))
            checkRecord(record, line);
        else
            Fuzz::require(!why.isEmpty(), "a record refused says why", shown(line));
    }
}

// What an index of `bytes` must hold, read line by line.
struct ExpectedIndex
{
    bool opens = false;
    JournalHeader header;
    QVector<int> lines;
    QVector<JournalRecord> records;
    int damaged = 0;
    int cutShort = 0;
    bool ended = false;
    JournalRecord end;
};

ExpectedIndex expectedIndex(const QByteArray &bytes)
{
    ExpectedIndex expected;
    QList<QByteArray> lines = bytes.split('\n');
    const QByteArray last = lines.takeLast(); // after the last line feed
    QString why;
    if (lines.isEmpty() || !parseJournalHeader(lines.first(), &expected.header, &why))
        return expected;
    if (lines.first().contains('\0'))
        return expected;
    expected.opens = true;
    for (int i = 1; i < lines.size(); ++i) {
        const QByteArray &line = lines.at(i);
        if (line.contains('\0')) {
            // No run writes a NUL: reading ends there, the line told as damaged.
            ++expected.damaged;
            return expected;
        }
        if (line.isEmpty())
            continue;
        JournalRecord record;
        if (expected.ended || !parseJournalRecord(line, &record, &why)) {
            ++expected.damaged;
        } else if (record.end) {
            expected.ended = true;
            expected.end = record;
        } else {
            expected.lines.append(i + 1);
            expected.records.append(record);
        }
    }
    if (last.contains('\0'))
        ++expected.damaged;
    else if (!last.isEmpty())
        expected.cutShort = lines.size() + 1;
    return expected;
}

ExpectedIndex checkIndex(const QString &folderPath, const QByteArray &bytes)
{
    const PosixFile::Descriptor folder(
        ::open(QFile::encodeName(folderPath).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    JournalIndex index;
    QString why;
    const ExpectedIndex expected = expectedIndex(bytes);
    const bool opened = index.open(folder.fd, journalName.toLatin1(), &why);
    Fuzz::require(opened == expected.opens, "the index opens exactly a journal with a header", why);
    if (!opened)
        return expected;
    Fuzz::require(
        index.header().started == expected.header.started && index.header().undoOf == expected.header.undoOf,
        "the index holds the header");
    Fuzz::require(index.changes() == expected.records.size(), "the index holds every record of a change",
        QStringLiteral("%1 of %2").arg(index.changes()).arg(expected.records.size()));
    // Read back, last first: every record, on its line, then nothing more.
    JournalRecord record;
    int line = 0;
    for (int i = index.changes() - 1; i >= 0; --i) {
        Fuzz::require(index.previous(&record, &line, &why) && sameRecord(record, expected.records.at(i)),
            "a record read back is the one on its line", QString::number(i) + why);
        Fuzz::require(line == expected.lines.at(i), "a record read back knows its line", QString::number(i));
    }
    Fuzz::require(
        !index.previous(&record, &line, &why) && why.isEmpty(), "reading back ends at the first record");
    Fuzz::require(
        index.damagedCount() == expected.damaged && index.damaged().size() == std::min(expected.damaged, 100),
        "the index counts every damaged line",
        QStringLiteral("%1 of %2").arg(index.damagedCount()).arg(expected.damaged));
    Fuzz::require(index.cutShortLine() == expected.cutShort, "the index finds a line cut short",
        QStringLiteral("%1, not %2").arg(index.cutShortLine()).arg(expected.cutShort));
    Fuzz::require(index.ended() == expected.ended && sameRecord(index.end(), expected.end),
        "the index finds the journal's end");
    return expected;
}

// Every entry below `top` (itself too), as one text: type, mode, size,
// modification time, a link's target and a file's bytes. Reading leaves it
// as it was, so two listings differ only when something was changed.
QByteArray listing(const QString &top)
{
    QStringList paths{top};
    QDirIterator it(top, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System,
        QDirIterator::Subdirectories);
    while (it.hasNext())
        paths.append(it.next());
    std::sort(paths.begin(), paths.end());
    QByteArray text;
    for (const QString &path : paths) {
        const QByteArray native = QFile::encodeName(path);
        struct stat info;
        if (::lstat(native.constData(), &info) != 0)
            Fuzz::fail("an entry of the scratch folder can be seen", path);
        text += native + ' ' + QByteArray::number(info.st_mode) + ' '
            + QByteArray::number(qint64(info.st_size)) + ' ' + QByteArray::number(qint64(info.st_mtim.tv_sec))
            + '.' + QByteArray::number(qint64(info.st_mtim.tv_nsec)) + '\n';
        if (S_ISLNK(info.st_mode)) {
            text += QFile::encodeName(QFile::symLinkTarget(path)) + '\n';
        } else if (S_ISREG(info.st_mode)) {
            QFile file(path);
            if (!file.open(QIODevice::ReadOnly))
                Fuzz::fail("a file of the scratch folder can be read", path);
            text += file.readAll() + '\n';
        }
    }
    return text;
}

// The folder beside the client and its file, read or listed by nobody since
// `age` (the file system keeps the time of the last reading).
const QStringList outside = {QStringLiteral("outside"), QStringLiteral("outside/secret.png")};

void age(const QString &scratch)
{
    const struct timespec times[2] = {{1, 0}, {0, UTIME_OMIT}};
    for (const QString &entry : outside) {
        const QByteArray path = QFile::encodeName(scratch + QLatin1Char('/') + entry);
        if (::utimensat(AT_FDCWD, path.constData(), times, AT_SYMLINK_NOFOLLOW) != 0)
            Fuzz::fail("the time of reading can be set", entry);
    }
}

bool unread(const QString &scratch)
{
    return std::all_of(outside.cbegin(), outside.cend(), [&](const QString &entry) {
        struct stat info;
        return ::lstat(QFile::encodeName(scratch + QLatin1Char('/') + entry).constData(), &info) == 0
            && info.st_atim.tv_sec == 1;
    });
}

void makeFile(const QString &path, const QByteArray &bytes)
{
    if (!QDir().mkpath(QFileInfo(path).path()) || !Fuzz::writeFile(path, bytes))
        Fuzz::fail("the scratch client can be made", path);
}

// A client with one character, and beside it a folder of its own that the
// link "away" of the character leads to: a dry undo may read the client, but
// nothing beside it.
QString makeClient(const QString &scratch)
{
    const QString client = scratch + QStringLiteral("/client");
    const QString kit = client + QStringLiteral("/base/characters/Kit/");
    makeFile(kit + QStringLiteral("char.ini"), "[Options]\nname=Kit\n");
    makeFile(kit + QStringLiteral("char_icon.png"), "icon");
    makeFile(kit + QStringLiteral("actor.png"), "icon");
    makeFile(kit + QStringLiteral("emotions/happy.png"), "happy");
    makeFile(kit + QStringLiteral("data/actor.json"), "{}\n");
    makeFile(scratch + QStringLiteral("/outside/secret.png"), "icon");
    if (!QDir().mkpath(kit + QStringLiteral("empty")) || !QDir().mkpath(journalFolder(client))
        || !QFile::link(QStringLiteral("../../../../outside"), kit + QStringLiteral("away"))
        || !QFile::link(QStringLiteral("emotions"), kit + QStringLiteral("near")))
        Fuzz::fail("the scratch client can be made", client);
    return client;
}

void checkDryUndo(const QByteArray &input)
{
    static const QString scratch = Fuzz::scratchFolder();
    static const QString client = makeClient(scratch);
    const QString path = journalFolder(client) + QLatin1Char('/') + journalName;
    const QByteArray bytes = input.startsWith('{') ? input : header + input;
    if (!Fuzz::writeFile(path, bytes))
        Fuzz::fail("the journal can be written", path);
    const ExpectedIndex expected = checkIndex(journalFolder(client), bytes);

    const QByteArray before = listing(scratch);
    RunOptions options;
    options.dryRun = true;
    options.changeRecords = true;
    options.version = QStringLiteral("fuzz");
    age(scratch);
    const RunReport report = undoRun(path, options);
    const QString log = QString::fromUtf8(outputRecords(report.log.records(), report.log.client()));
    Fuzz::require(unread(scratch), "a dry undo reads nothing beside the client", log);
    Fuzz::require(listing(scratch) == before, "a dry undo changes nothing", log);

    for (const LogRecord &line : report.log.records()) {
        // Warning and error records name places too, but change nothing.
        if (line.kind != LogRecord::Kind::Change)
            continue;
        // A change outside the client is shown with its absolute path, which no record holds.
        const QByteArray record = outputRecord(line, report.log.client());
        JournalRecord planned;
        QString why;
        Fuzz::require(parseJournalRecord(record, &planned, &why),
            "a dry undo plans changes in the client only", shown(record));
        for (const QString &place : {planned.change.path, planned.change.other})
            Fuzz::require(place != away && !place.startsWith(away + QLatin1Char('/')),
                "a dry undo plans no change through a link that leads out", shown(record));
    }
    // Only a readable journal of a migration is undone, and then every change of it is looked at.
    const bool undoable = expected.opens && expected.header.undoOf.isEmpty();
    Fuzz::require((report.failureKind == RunFailure::None) == undoable,
        "a dry undo starts on a journal of a run", report.failure);
    if (undoable) {
        Fuzz::require(report.journal.isEmpty(), "a dry undo keeps no journal", report.journal);
        Fuzz::require(
            report.outcome.total == expected.records.size() && report.outcome.done == report.outcome.total,
            "an undo not stopped takes up every change",
            QStringLiteral("%1 of %2").arg(report.outcome.done).arg(report.outcome.total));
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input(reinterpret_cast<const char *>(data), int(size));
    checkLines(input);
    checkDryUndo(input);
    return 0;
}
