#include "journal/journalformat.h"

#include "journal/journal.h"
#include "journal/journalfile.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QVariant>

#include <algorithm>
#include <climits>
#include <limits>

namespace {

QByteArray relative(const QString &path, const QString &client)
{
    const QString prefix = client.endsWith(QLatin1Char('/')) ? client : client + QLatin1Char('/');
    return jsonString(path.startsWith(prefix) ? path.mid(prefix.size()) : path);
}

QByteArray operation(const char *name)
{
    return QByteArray("{\"op\":\"") + name + '"';
}

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
    // A run records names as they are, control characters too: only what no
    // name can hold is refused. A lone surrogate would reach the disk as
    // some other name.
    if (path->contains(QChar(0))) {
        *why = QStringLiteral("a path holds a NUL character");
        return false;
    }
    if (QString::fromUtf8(path->toUtf8()) != *path) {
        *why = QStringLiteral("a path is no valid text");
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
    const bool timed = object.contains(QLatin1String("mode")) || object.contains(QLatin1String("mtime_ns"));
    // Journals of earlier versions named the owner too; none names it alone.
    const bool owned = object.contains(QLatin1String("uid")) || object.contains(QLatin1String("gid"));
    if (!timed && !owned)
        return true; // the earliest journals recorded none
    qint64 mode = 0;
    if (!isInteger(object.value(QLatin1String("mode")), 0, 07777, &mode)
        || !isInteger(object.value(QLatin1String("mtime_ns")), -largestExact * 1024,
            std::numeric_limits<qint64>::max(), &attributes->modified)
        || (owned
            && (!isInteger(object.value(QLatin1String("uid")), 0, 0xffffffffLL, &attributes->owner)
                || !isInteger(object.value(QLatin1String("gid")), 0, 0xffffffffLL, &attributes->group)))) {
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
        if (object.contains(QLatin1String("changes"))) {
            if (!isInteger(object.value(QLatin1String("changes")), 0, INT_MAX, &number)) {
                *why = QStringLiteral("its end record is malformed");
                return false;
            }
            record->changes = int(number);
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

QByteArray changeRecord(const Change &change, const QString &client, OwnerField owner)
{
    const QByteArray path = relative(change.path, client);
    switch (change.kind) {
    case Change::Move:
        return operation("move") + ",\"from\":" + path + ",\"to\":" + relative(change.other, client) + '}';
    case Change::Delete: {
        QByteArray record = operation("delete") + ",\"path\":" + path
            + ",\"twin\":" + (change.other.isEmpty() ? QByteArray("null") : relative(change.other, client))
            + ",\"sha3_256\":\"" + change.sha3.toHex() + "\",\"size\":" + QByteArray::number(change.size);
        const FileAttributes &attributes = change.attributes;
        if (attributes.known) {
            record += ",\"mode\":" + QByteArray::number(attributes.mode)
                + ",\"mtime_ns\":" + QByteArray::number(attributes.modified);
            if (owner == OwnerField::Named && attributes.owner >= 0 && attributes.group >= 0)
                record += ",\"uid\":" + QByteArray::number(attributes.owner)
                    + ",\"gid\":" + QByteArray::number(attributes.group);
        }
        return record + '}';
    }
    case Change::Write:
        return operation("write") + ",\"path\":" + path + ",\"sha3_256\":\"" + change.sha3.toHex() + "\"}";
    case Change::MakeFolder:
        return operation("mkdir") + ",\"path\":" + path + '}';
    case Change::RemoveFolder:
        return operation("rmdir") + ",\"path\":" + path + '}';
    }
    return {};
}

QByteArray headerRecord(
    const QString &version, const QString &started, const QString &client, const QString &undoOf)
{
    return "{\"veltra\":" + jsonString(version) + ",\"started\":" + jsonString(started)
        + ",\"client\":" + jsonString(client)
        + ",\"undo_of\":" + (undoOf.isEmpty() ? QByteArray("null") : jsonString(undoOf)) + '}';
}

QByteArray endRecord(bool stopped, int errors, int changes, int left)
{
    return operation("end") + ",\"stopped\":" + (stopped ? "true" : "false")
        + ",\"errors\":" + QByteArray::number(errors) + ",\"changes\":" + QByteArray::number(changes)
        + (left >= 0 ? ",\"left\":" + QByteArray::number(left) : QByteArray()) + '}';
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

namespace {

QByteArray jsonOrNull(const QString &text)
{
    return text.isEmpty() ? QByteArray("null") : jsonString(text);
}

} // namespace

QByteArray outputRecord(const LogRecord &record, const QString &client)
{
    switch (record.kind) {
    case LogRecord::Kind::Text:
        return QByteArray();
    case LogRecord::Kind::Change:
        return changeRecord(record.change, client, OwnerField::Named);
    case LogRecord::Kind::Warning:
    case LogRecord::Kind::Error:
        break;
    }
    const LineSubject &subject = record.subject;
    QByteArray line = operation(record.kind == LogRecord::Kind::Warning ? "warning" : "error")
        + ",\"text\":" + jsonString(record.text) + ",\"character\":" + jsonOrNull(record.character);
    if (!subject.path.isEmpty())
        line += ",\"path\":" + relative(subject.path, client);
    else if (!subject.from.isEmpty())
        line += ",\"from\":" + relative(subject.from, client) + ",\"to\":" + relative(subject.to, client);
    return line + '}';
}

QByteArray outputRecords(const QVector<LogRecord> &records, const QString &client)
{
    QByteArray lines;
    for (const LogRecord &record : records) {
        const QByteArray line = outputRecord(record, client);
        if (!line.isEmpty())
            lines += line + '\n';
    }
    return lines;
}

QByteArray summaryRecord(const RunSummary &summary)
{
    const auto number = [](int value) { return QByteArray::number(value); };
    const auto flag = [](bool value) { return QByteArray(value ? "true" : "false"); };
    const ChangeCounts &counts = summary.counts;
    // An undo counts changes where a run counts characters.
    return operation("summary") + ",\"version\":1,\"" + (summary.undo ? "changes" : "characters")
        + "\":{\"done\":" + number(summary.done) + ",\"total\":" + number(summary.total)
        + "},\"moves\":" + number(counts.moves) + ",\"deletions\":" + number(counts.deletions)
        + ",\"documents\":" + number(counts.documents) + ",\"folders\":" + number(counts.folders)
        + ",\"errors\":" + number(summary.errors) + ",\"journal\":" + jsonOrNull(summary.journal)
        + ",\"stopped\":" + flag(summary.stopped) + ",\"dry_run\":" + flag(summary.dryRun)
        + ",\"undo\":" + flag(summary.undo) + '}';
}
