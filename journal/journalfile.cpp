#include "journal/journalfile.h"

#include "journal/journal.h"
#include "paths/clientroot.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QVariant>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace {

using PosixFile::Descriptor;
using PosixFile::systemError;

constexpr int maxDamageTold = 100;
// Integers a JSON reader holds exactly.
constexpr qint64 largestExact = qint64(1) << 53;

bool isInteger(const QJsonValue &value, qint64 low, qint64 high, qint64 *number)
{
    const QVariant variant = value.toVariant();
    if (variant.userType() != QMetaType::LongLong)
        return false;
    *number = variant.toLongLong();
    return *number >= low && *number <= high;
}

bool recordPath(const QJsonValue &value, QString *path, QString *why)
{
    if (!value.isString()) {
        *why = QStringLiteral("a path is no text");
        return false;
    }
    *path = value.toString();
    if (path->isEmpty() || path->startsWith(QLatin1Char('/'))) {
        *why = QStringLiteral("a path is empty or not relative");
        return false;
    }
    if (std::any_of(path->cbegin(), path->cend(),
            [](QChar c) { return c.unicode() < 0x20 || c.unicode() == 0x7f; })) {
        *why = QStringLiteral("a path holds a control character");
        return false;
    }
    const QStringList parts = path->split(QLatin1Char('/'));
    for (const QString &part : parts) {
        if (part.isEmpty() || part == QLatin1String(".") || part == QLatin1String("..")) {
            *why = QStringLiteral("a path has an empty, \".\" or \"..\" part");
            return false;
        }
    }
    if (parts.first() == QLatin1String(journalFolderName)) {
        *why = QStringLiteral("a path lies in the journal folder");
        return false;
    }
    return true;
}

bool digest(const QJsonValue &value, QByteArray *sha3, QString *why)
{
    static const QRegularExpression hex(QStringLiteral("^[0-9a-f]{64}$"));
    if (!value.isString() || !hex.match(value.toString()).hasMatch()) {
        *why = QStringLiteral("no SHA3-256 digest");
        return false;
    }
    *sha3 = QByteArray::fromHex(value.toString().toLatin1());
    return true;
}

bool attributes(const QJsonObject &object, FileAttributes *attributes, QString *why)
{
    const QStringList keys
        = {QStringLiteral("mode"), QStringLiteral("mtime_ns"), QStringLiteral("uid"), QStringLiteral("gid")};
    const int present = int(
        std::count_if(keys.cbegin(), keys.cend(), [&](const QString &k) { return object.contains(k); }));
    if (present == 0)
        return true; // journals of earlier versions recorded none
    qint64 mode = 0;
    if (present != keys.size() || !isInteger(object.value(keys[0]), 0, 07777, &mode)
        || !isInteger(object.value(keys[1]), -largestExact * 1024, std::numeric_limits<qint64>::max(),
            &attributes->modified)
        || !isInteger(object.value(keys[2]), 0, 0xffffffffLL, &attributes->owner)
        || !isInteger(object.value(keys[3]), 0, 0xffffffffLL, &attributes->group)) {
        *why = QStringLiteral("its mode, time or owner is out of range");
        return false;
    }
    attributes->mode = quint32(mode);
    attributes->known = true;
    return true;
}

} // namespace

bool parseJournalHeader(const QByteArray &line, JournalHeader *header, QString *why)
{
    const QJsonObject object = QJsonDocument::fromJson(line).object();
    const QJsonValue undoOf = object.value(QLatin1String("undo_of"));
    if (!object.value(QLatin1String("veltra")).isString()
        || !object.value(QLatin1String("started")).isString()
        || !object.value(QLatin1String("client")).isString() || !(undoOf.isNull() || undoOf.isString())) {
        *why = QStringLiteral("its first line is no journal header");
        return false;
    }
    header->version = object.value(QLatin1String("veltra")).toString();
    header->started = object.value(QLatin1String("started")).toString();
    header->client = object.value(QLatin1String("client")).toString();
    header->undoOf = undoOf.toString();
    if (undoOf.isString() && !isJournalName(header->undoOf)) {
        *why = QStringLiteral("its header names no journal it undoes");
        return false;
    }
    return true;
}

bool parseJournalRecord(const QByteArray &line, JournalRecord *record, QString *why)
{
    *record = JournalRecord();
    if (line.size() > maxJournalLine) {
        *why = QStringLiteral("it is too long");
        return false;
    }
    QJsonParseError error;
    const QJsonDocument document = QJsonDocument::fromJson(line, &error);
    if (!document.isObject()) {
        *why = QStringLiteral("it is no JSON object");
        return false;
    }
    const QJsonObject object = document.object();
    const QString op = object.value(QLatin1String("op")).toString();
    Change &change = record->change;
    qint64 number = 0;
    if (op == QLatin1String("end")) {
        const QJsonValue stopped = object.value(QLatin1String("stopped"));
        if (!stopped.isBool() || !isInteger(object.value(QLatin1String("errors")), 0, INT_MAX, &number)) {
            *why = QStringLiteral("its end record is malformed");
            return false;
        }
        record->end = true;
        record->stopped = stopped.toBool();
        record->errors = int(number);
        if (object.contains(QLatin1String("left"))) {
            if (!isInteger(object.value(QLatin1String("left")), 0, INT_MAX, &number)) {
                *why = QStringLiteral("its end record is malformed");
                return false;
            }
            record->left = int(number);
        }
        return true;
    }
    if (op == QLatin1String("move")) {
        change.kind = Change::Move;
        return recordPath(object.value(QLatin1String("from")), &change.path, why)
            && recordPath(object.value(QLatin1String("to")), &change.other, why);
    }
    if (!recordPath(object.value(QLatin1String("path")), &change.path, why))
        return false;
    if (op == QLatin1String("mkdir")) {
        change.kind = Change::MakeFolder;
        return true;
    }
    if (op == QLatin1String("rmdir")) {
        change.kind = Change::RemoveFolder;
        return true;
    }
    if (op == QLatin1String("write")) {
        change.kind = Change::Write;
        return digest(object.value(QLatin1String("sha3_256")), &change.sha3, why);
    }
    if (op == QLatin1String("delete")) {
        change.kind = Change::Delete;
        const QJsonValue twin = object.value(QLatin1String("twin"));
        if (!twin.isNull() && !recordPath(twin, &change.other, why))
            return false;
        if (!isInteger(object.value(QLatin1String("size")), 0, largestExact, &change.size)) {
            *why = QStringLiteral("its size is no whole number in range");
            return false;
        }
        return digest(object.value(QLatin1String("sha3_256")), &change.sha3, why)
            && attributes(object, &change.attributes, why);
    }
    *why = QStringLiteral("it names no known operation");
    return false;
}

bool JournalIndex::open(int folder, const QByteArray &name, QString *why)
{
    struct stat info;
    const PosixFile::At at{folder, name, false};
    FileError refused;
    if (!PosixFile::openRegular(at, m_file, info, &refused)) {
        *why = refused;
        return false;
    }
    QByteArray chunk(int(PosixFile::chunkSize), Qt::Uninitialized);
    QByteArray line; // the line read so far, up to one byte past the longest a record may be
    qint64 lineStart = 0;
    qint64 offset = 0;
    bool overlong = false;
    int number = 0;
    for (;;) {
        const qint64 got = PosixFile::readFully(m_file.fd, chunk.data(), chunk.size());
        if (got < 0) {
            *why = systemError();
            return false;
        }
        if (got == 0)
            break;
        qint64 from = 0;
        while (from < got) {
            const char *start = chunk.constData() + from;
            const char *feed = static_cast<const char *>(std::memchr(start, '\n', size_t(got - from)));
            const qint64 length = feed ? feed - start : got - from;
            if (!overlong) {
                line.append(start, int(std::min<qint64>(length, maxJournalLine + 1 - line.size())));
                overlong = line.size() > maxJournalLine;
            }
            from += length;
            if (!feed)
                break;
            ++from; // the line feed
            ++number;
            take(line, lineStart, number);
            if (number == 1 && !parseJournalHeader(line, &m_header, why))
                return false;
            lineStart = offset + from;
            line.clear();
            overlong = false;
        }
        offset += got;
    }
    if (lineStart < offset) {
        // No line feed ends the last line: a kill cut it short.
        ++number;
        if (number == 1) {
            *why = QStringLiteral("its first line is no journal header");
            return false;
        }
        m_cutShort = number;
    } else if (number == 0) {
        *why = QStringLiteral("it is empty");
        return false;
    }
    return true;
}

void JournalIndex::take(const QByteArray &line, qint64 offset, int number)
{
    if (number == 1 || line.isEmpty())
        return;
    JournalRecord record;
    QString why;
    if (m_ended || !parseJournalRecord(line, &record, &why)) {
        if (m_ended)
            why = QStringLiteral("it follows the journal's end");
        if (m_damaged.size() < maxDamageTold)
            m_damaged.append({number, why});
        ++m_damagedCount;
        return;
    }
    if (record.end) {
        m_ended = true;
        m_end = record;
        return;
    }
    m_offsets.append(offset);
    m_lines.append(number);
}

bool JournalIndex::read(int i, JournalRecord *record, QString *why) const
{
    const qint64 start = m_offsets.at(i);
    QByteArray line(maxJournalLine + 1, Qt::Uninitialized);
    const ssize_t got = ::pread(m_file.fd, line.data(), size_t(line.size()), start);
    if (got < 0) {
        *why = systemError();
        return false;
    }
    line.truncate(int(got));
    const int feed = line.indexOf('\n');
    if (feed >= 0)
        line.truncate(feed);
    return parseJournalRecord(line, record, why);
}

bool isJournalName(const QString &name)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{8}T[0-9]{6}Z(-[1-9][0-9]{0,5})?\\.jsonl$"));
    return form.match(name).hasMatch();
}

QStringList journalNames(int folder, QString *why)
{
    QStringList names;
    const int listed = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    DIR *dir = listed < 0 ? nullptr : ::fdopendir(listed);
    if (!dir) {
        *why = systemError();
        if (listed >= 0)
            ::close(listed);
        return names;
    }
    while (const struct dirent *entry = ::readdir(dir)) {
        const QString name = QString::fromLatin1(entry->d_name);
        if (isJournalName(name))
            names.append(name);
    }
    ::closedir(dir);
    return names;
}

QVector<JournalSummary> clientJournals(const ClientRoot &client, QString *why)
{
    QVector<JournalSummary> journals;
    const Descriptor folder(openJournalFolder(client));
    if (folder.fd < 0) {
        if (errno != ENOENT)
            *why = errno == ELOOP || errno == ENOTDIR ? QStringLiteral("it is a link or no folder")
                                                      : systemError().text;
        return journals;
    }
    QStringList names = journalNames(folder.fd, why);
    auto order = [](const QString &name) {
        const int dash = name.indexOf(QLatin1Char('-'));
        return qMakePair(name.left(16), dash < 0 ? 1 : name.mid(dash + 1, name.size() - dash - 7).toInt());
    };
    std::sort(names.begin(), names.end(),
        [&order](const QString &a, const QString &b) { return order(a) < order(b); });
    for (const QString &name : names) {
        JournalSummary summary;
        summary.name = name;
        JournalIndex index;
        summary.readable = index.open(folder.fd, name.toLatin1(), &summary.problem);
        if (summary.readable) {
            summary.header = index.header();
            summary.changes = index.changes();
            summary.ended = index.ended();
            summary.end = index.end();
        }
        journals.append(summary);
    }
    for (const JournalSummary &undo : qAsConst(journals)) {
        if (!undo.readable || undo.header.undoOf.isEmpty())
            continue;
        for (JournalSummary &run : journals) {
            if (run.name != undo.header.undoOf || !run.header.undoOf.isEmpty())
                continue;
            run.undos.append(undo.name);
            // Undone only by an undo that went through to its end and took every change back.
            if (undo.ended && !undo.end.stopped && undo.end.left == 0)
                run.undone = true;
        }
    }
    return journals;
}
