#include "journal/journalfile.h"

#include "filesystem/clientroot.h"
#include "journal/journal.h"

#include <QDateTime>
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
// No run writes more than one damaged line (its last, cut short by a kill):
// a file with more bytes than this in lines that are no record is no journal
// of a run, and is given up on before it costs more reading.
constexpr qint64 maxDamagedBytes = 1024 * 1024;
// What the journal is read back in, last record first: a window of the file
// that holds many records, and always one whole record.
constexpr qint64 backWindow = 1024 * 1024;
static_assert(backWindow > maxJournalLine + 1, "a window holds the longest record");

bool readAt(int fd, char *buffer, qint64 size, qint64 offset)
{
    while (size > 0) {
        const ssize_t got = ::pread(fd, buffer, size_t(size), offset);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        buffer += got;
        size -= got;
        offset += got;
    }
    return true;
}

// What the list of journals says of one, read from its two ends: its header
// and its closing record, which counts its records, so that a journal of any
// size costs the same to list. Only one whose end does not count them (cut
// short, or of an earlier version) is read through.
bool glance(int folder, const QByteArray &name, JournalSummary *summary)
{
    Descriptor file;
    struct stat info;
    FileError refused;
    if (!PosixFile::openRegular({folder, name, false}, file, info, &refused)) {
        summary->problem = refused.text;
        return false;
    }
    const qint64 size = info.st_size;
    QByteArray head(int(std::min<qint64>(size, maxJournalLine + 1)), Qt::Uninitialized);
    if (!readAt(file.fd, head.data(), head.size(), 0)) {
        summary->problem = systemError().text;
        return false;
    }
    const int feed = head.indexOf('\n');
    if (feed < 0) {
        summary->problem = size == 0 ? QStringLiteral("it is empty")
                                     : QStringLiteral("its first line is no journal header");
        return false;
    }
    if (!parseJournalHeader(head.left(feed), &summary->header, &summary->problem))
        return false;
    const qint64 records = feed + 1;
    const qint64 from = std::max(records, size - (maxJournalLine + 2));
    QByteArray tail(int(size - from), Qt::Uninitialized);
    if (!readAt(file.fd, tail.data(), tail.size(), from)) {
        summary->problem = systemError().text;
        return false;
    }
    JournalRecord last;
    QString why;
    if (tail.endsWith('\n')) {
        const int before = tail.lastIndexOf('\n', tail.size() - 2);
        if ((before >= 0 || from == records)
            && parseJournalRecord(tail.mid(before + 1, tail.size() - 2 - before), &last, &why) && last.end
            && last.changes >= 0) {
            summary->changes = last.changes;
            summary->ended = true;
            summary->end = last;
            return true;
        }
    }
    JournalIndex index;
    if (!index.open(folder, name, &summary->problem))
        return false;
    summary->changes = index.changes();
    summary->damagedLine = index.damaged().isEmpty() ? 0 : index.damaged().first().line;
    summary->ended = index.ended();
    summary->end = index.end();
    return true;
}

} // namespace

bool JournalIndex::open(int folder, const QByteArray &name, QString *why)
{
    struct stat info;
    const PosixFile::At at{folder, name, false};
    FileError refused;
    if (!PosixFile::openRegular(at, m_file, info, &refused)) {
        *why = refused.text;
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
            *why = systemError().text;
            return false;
        }
        if (got == 0)
            break;
        qint64 from = 0;
        while (from < got) {
            const char *start = chunk.constData() + from;
            const char *feed = static_cast<const char *>(std::memchr(start, '\n', size_t(got - from)));
            const qint64 length = feed ? feed - start : got - from;
            if (std::memchr(start, '\0', size_t(length))) {
                // No run writes a NUL. A power cut can leave zeros where the
                // last records were to be, and a file with a hole in it reads
                // as zeros for as long as it claims to be: either way nothing
                // past here is a record.
                if (number == 0) {
                    *why = QStringLiteral("its first line is no journal header");
                    return false;
                }
                ++number;
                ++m_damagedCount;
                if (m_damaged.size() < maxDamageTold)
                    m_damaged.append(
                        {number, QStringLiteral("it holds a NUL byte; the journal is read no further")});
                m_cursor = m_ended ? m_endStart : lineStart;
                m_cursorLine = m_ended ? m_endLine : number;
                return true;
            }
            if (!overlong) {
                line.append(start, int(std::min<qint64>(length, maxJournalLine + 1 - line.size())));
                overlong = line.size() > maxJournalLine;
            }
            from += length;
            m_lineBytes += length;
            if (m_lineBytes > maxJournalLine
                && (number == 0 || m_damagedBytes + m_lineBytes > maxDamagedBytes)) {
                *why = number == 0 ? QStringLiteral("its first line is no journal header")
                                   : QStringLiteral("it is far larger than its records: no run wrote it");
                return false;
            }
            if (!feed)
                break;
            ++from; // the line feed
            if (++number == INT_MAX) {
                *why = QStringLiteral("it has more lines than any run writes");
                return false;
            }
            if (number == 1) {
                if (!parseJournalHeader(line, &m_header, why))
                    return false;
                m_headerEnd = offset + from;
            } else {
                take(line, lineStart, number);
            }
            if (m_damagedBytes > maxDamagedBytes) {
                *why = QStringLiteral("it is far larger than its records: no run wrote it");
                return false;
            }
            lineStart = offset + from;
            line.clear();
            overlong = false;
            m_lineBytes = 0;
        }
        offset += got;
    }
    m_cursor = m_ended ? m_endStart : lineStart;
    m_cursorLine = m_ended ? m_endLine : number + 1;
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
    // No run writes an empty line either: it counts toward the damage.
    if (line.isEmpty()) {
        ++m_damagedBytes;
        return;
    }
    JournalRecord record;
    QString why;
    if (m_ended || !parseJournalRecord(line, &record, &why)) {
        if (m_ended)
            why = QStringLiteral("it follows the journal's end");
        if (m_damaged.size() < maxDamageTold)
            m_damaged.append({number, why});
        ++m_damagedCount;
        m_damagedBytes += m_lineBytes;
        return;
    }
    if (record.end) {
        m_ended = true;
        m_end = record;
        m_endStart = offset;
        m_endLine = number;
        return;
    }
    ++m_changes;
}

bool JournalIndex::previous(JournalRecord *record, int *line, QString *why)
{
    while (m_cursor > m_headerEnd) {
        qint64 start = 0;
        QByteArray text;
        if (!lineBefore(&start, &text)) {
            *why = QStringLiteral("the journal changed while it was read");
            m_cursor = 0;
            return false;
        }
        m_cursor = start;
        --m_cursorLine;
        QString damage; // told when the journal was opened
        if (text.isEmpty() || !parseJournalRecord(text, record, &damage) || record->end)
            continue;
        *line = m_cursorLine;
        return true;
    }
    return false;
}

bool JournalIndex::lineBefore(qint64 *start, QByteArray *text)
{
    const qint64 feed = m_cursor - 1; // the line's own line feed
    const auto found = [&](qint64 end) {
        const void *hit = ::memrchr(m_buffer.constData(), '\n', size_t(end - m_bufferStart));
        if (!hit)
            return false;
        const qint64 at = m_bufferStart + (static_cast<const char *>(hit) - m_buffer.constData());
        *start = at + 1;
        // A line longer than any record was told as damaged already.
        *text = feed - *start > maxJournalLine
            ? QByteArray()
            : m_buffer.mid(int(*start - m_bufferStart), int(feed - *start));
        return true;
    };
    if (feed > m_bufferStart && feed <= m_bufferStart + m_buffer.size() && found(feed))
        return true;
    // The header's line feed ends every search, so each window reaches at
    // most back to it.
    for (qint64 end = feed;; end = m_bufferStart) {
        m_bufferStart = std::max(m_headerEnd - 1, end - backWindow);
        m_buffer.resize(int(end - m_bufferStart));
        if (!readAt(m_file.fd, m_buffer.data(), m_buffer.size(), m_bufferStart)) {
            m_buffer.clear();
            return false;
        }
        if (found(end))
            return true;
    }
}

bool isJournalName(const QString &name)
{
    static const QRegularExpression form(QStringLiteral("^[0-9]{8}T[0-9]{6}Z(-[1-9][0-9]{0,5})?\\.jsonl$"));
    return form.match(name).hasMatch();
}

bool isFromTheFuture(const QString &name)
{
    QDateTime started = QDateTime::fromString(name.left(15), QStringLiteral("yyyyMMdd'T'HHmmss"));
    started.setTimeSpec(Qt::UTC);
    return started.isValid() && started > QDateTime::currentDateTimeUtc().addDays(1);
}

QStringList journalNames(int folder, QString *why)
{
    QStringList names;
    const int listed = ::fcntl(folder, F_DUPFD_CLOEXEC, 0);
    DIR *dir = listed < 0 ? nullptr : ::fdopendir(listed);
    if (!dir) {
        *why = systemError().text;
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
        summary.readable = glance(folder.fd, name.toLatin1(), &summary);
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
