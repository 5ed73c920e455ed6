#include "journal/journal.h"

#include "journal/journalfile.h"
#include "log/loglevel.h"

#include "filesystem/clientroot.h"
#include "filesystem/posixfile.h"

#include <QDateTime>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeAll(int fd, const QByteArray &bytes)
{
    return PosixFile::writeFully(fd, bytes.constData(), bytes.size());
}

} // namespace

const char *const journalFolderName = "veltra-journal";

QString journalFolder(const QString &client)
{
    return client + QLatin1Char('/') + QLatin1String(journalFolderName);
}

int openJournalFolder(const ClientRoot &client)
{
    return ::openat(client.descriptor(), journalFolderName, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

bool journalFolderUsable(const ClientRoot &client, FileError *why)
{
    struct stat info;
    if (::fstatat(client.descriptor(), journalFolderName, &info, AT_SYMLINK_NOFOLLOW) != 0) {
        if (errno == ENOENT)
            return true;
        *why = PosixFile::systemError();
        return false;
    }
    if (S_ISLNK(info.st_mode)) {
        *why = FileError(
            QStringLiteral("it is a link; journals are kept only in a folder of the client itself"));
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        *why = FileError(QStringLiteral("it is no folder"));
        return false;
    }
    if (::faccessat(client.descriptor(), journalFolderName, W_OK | X_OK, AT_EACCESS) != 0) {
        *why = PosixFile::systemError();
        return false;
    }
    return true;
}

Journal::Journal(int fd, const QString &path, const QString &client)
    : m_fd(fd)
    , m_path(path)
    , m_client(client)
{
}

Journal::~Journal()
{
    ::fsync(m_fd);
    ::close(m_fd);
}

std::unique_ptr<Journal> Journal::create(
    const ClientRoot &root, const QString &version, const QString &undoOf, FileError *error)
{
    const QString client = root.path();
    const QString folder = journalFolder(client);
    if (!journalFolderUsable(root, error))
        return nullptr;
    const bool made = ::mkdirat(root.descriptor(), journalFolderName, 0777) == 0;
    if (!made && errno != EEXIST) {
        *error = PosixFile::systemError();
        return nullptr;
    }
    // Opened as it stands: a link swapped in meanwhile is refused, not followed.
    const PosixFile::Descriptor journals(openJournalFolder(root));
    if (journals.fd < 0) {
        *error = PosixFile::systemError();
        return nullptr;
    }
    // A journal that a kill cut off before its header was written records
    // nothing and would be listed as damaged ever after. No other run can be
    // starting one meanwhile: the client is locked.
    QString unread;
    for (const QString &name : journalNames(journals.fd, &unread)) {
        const QByteArray file = name.toLatin1();
        struct stat info;
        if (::fstatat(journals.fd, file.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode)
            && info.st_size == 0)
            ::unlinkat(journals.fd, file.constData(), 0);
    }
    const QDateTime now = QDateTime::currentDateTimeUtc();
    const QString stem = now.toString(QStringLiteral("yyyyMMdd'T'HHmmss'Z'"));
    // A second run in the same second gets a suffix.
    for (int attempt = 1; attempt < 1000; ++attempt) {
        const QString name = attempt == 1 ? stem : stem + QLatin1Char('-') + QString::number(attempt);
        const QString path = folder + QLatin1Char('/') + name + QStringLiteral(".jsonl");
        const QByteArray file = PosixFile::native(name + QStringLiteral(".jsonl"));
        const int fd = ::openat(
            journals.fd, file.constData(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd < 0 && errno == EEXIST)
            continue;
        if (fd < 0) {
            *error = PosixFile::systemError();
            return nullptr;
        }
        const QByteArray header = headerRecord(version, now.toString(Qt::ISODate),
                                      client.mid(client.lastIndexOf(QLatin1Char('/')) + 1), undoOf)
            + '\n';
        std::unique_ptr<Journal> journal(new Journal(fd, path, client));
        if (!writeAll(fd, header)) {
            *error = PosixFile::systemError();
            // A journal without its header would be listed as damaged ever
            // after, and a journal folder made for it alone is no part of the client.
            ::unlinkat(journals.fd, file.constData(), 0);
            if (made)
                ::unlinkat(root.descriptor(), journalFolderName, AT_REMOVEDIR);
            return nullptr;
        }
        journal->m_end = header.size();
        return journal;
    }
    *error = PosixFile::systemError(EEXIST);
    return nullptr;
}

bool Journal::aboutToChange(const Change &change, FileError *why)
{
    const QByteArray line = changeRecord(change, m_client) + '\n';
    // Written before the change and straight to the file: a kill after the
    // change can no longer hide it.
    m_pending = 0;
    if (!writeAll(m_fd, line)) {
        *why = PosixFile::systemError();
        if (::ftruncate(m_fd, m_end) == 0)
            ::lseek(m_fd, m_end, SEEK_SET);
        return false;
    }
    m_end += line.size();
    m_pending = line.size();
    ++m_changes;
    return true;
}

void Journal::changeFailed(const Change &)
{
    // A change that was not made is no part of the run.
    if (m_pending > 0)
        --m_changes;
    m_end -= m_pending;
    m_pending = 0;
    if (::ftruncate(m_fd, m_end) == 0)
        ::lseek(m_fd, m_end, SEEK_SET);
}

void Journal::finish(bool stopped, int errors, int left)
{
    const QByteArray line = endRecord(stopped, errors, m_changes, left) + '\n';
    if (writeAll(m_fd, line))
        m_end += line.size();
}
