#include "filesystem/posixfile.h"

#include "filesystem/filesystem.h"

#include <QCryptographicHash>
#include <QFile>
#include <QRandomGenerator>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace PosixFile {

namespace {

const char *const temporaryPrefix = ".veltra-";
const char *const temporarySuffix = ".tmp";

} // namespace

FileError systemError(int code)
{
    return FileError(code, QString::fromLocal8Bit(std::strerror(code)));
}

FileError systemError()
{
    return systemError(errno);
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

Descriptor::~Descriptor()
{
    reset();
}

void Descriptor::reset(int owned)
{
    if (fd >= 0)
        ::close(fd);
    fd = owned;
}

bool openRegular(const At &file, Descriptor &opened, struct stat &info, FileError *error)
{
    if (::fstatat(file.folder, file.name.constData(), &info, file.statFlags()) != 0) {
        *error = systemError();
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        *error = FileError(QStringLiteral("not a regular file"));
        return false;
    }
    opened.fd = ::openat(
        file.folder, file.name.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC | file.openFlags());
    struct stat now;
    if (opened.fd < 0 || ::fstat(opened.fd, &now) != 0) {
        *error = systemError();
        return false;
    }
    if (!S_ISREG(now.st_mode) || now.st_ino != info.st_ino || now.st_dev != info.st_dev) {
        *error = FileError(QStringLiteral("not a regular file"));
        return false;
    }
    info = now;
    return true;
}

qint64 readFully(int fd, char *buffer, qint64 size)
{
    qint64 total = 0;
    while (total < size) {
        const ssize_t got = ::read(fd, buffer + total, size_t(size - total));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        total += got;
    }
    return total;
}

bool writeFully(int fd, const char *data, qint64 size)
{
    qint64 total = 0;
    while (total < size) {
        const ssize_t put = ::write(fd, data + total, size_t(size - total));
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0)
            return false;
        total += put;
    }
    return true;
}

QByteArray temporaryBeside(const QByteArray &name)
{
    const int slash = name.lastIndexOf('/');
    const quint64 nonce = QRandomGenerator::global()->generate64();
    return name.left(slash + 1) + temporaryPrefix + QByteArray::number(nonce, 16).rightJustified(16, '0')
        + temporarySuffix;
}

bool isTemporaryName(const QByteArray &name)
{
    const int prefix = int(std::strlen(temporaryPrefix));
    const int suffix = int(std::strlen(temporarySuffix));
    if (name.size() != prefix + 16 + suffix || !name.startsWith(temporaryPrefix)
        || !name.endsWith(temporarySuffix))
        return false;
    const QByteArray nonce = name.mid(prefix, 16);
    return std::all_of(nonce.cbegin(), nonce.cend(),
        [](char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f'); });
}

bool copyBeside(const At &from, const At &to, bool durable, const QByteArray &sha3,
    const Attributes &attributes, FileError *error)
{
    Descriptor source;
    struct stat info;
    if (!openRegular(from, source, info, error))
        return false;
    const QByteArray temporary = temporaryBeside(to.name);
    // Private until it is whole; its mode is set at the end, when no write can clear it again.
    Descriptor copy(::openat(to.folder, temporary.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600));
    if (copy.fd < 0) {
        *error = systemError();
        return false;
    }
    auto fail = [&](const FileError &reason) {
        ::unlinkat(to.folder, temporary.constData(), 0);
        *error = FileError(reason);
        return false;
    };
    QCryptographicHash hash(QCryptographicHash::Sha3_256);
    QByteArray chunk(int(chunkSize), Qt::Uninitialized);
    for (;;) {
        const qint64 got = readFully(source.fd, chunk.data(), chunkSize);
        if (got < 0)
            return fail(systemError());
        if (got == 0)
            break;
        hash.addData(QByteArray::fromRawData(chunk.constData(), int(got)));
        if (!writeFully(copy.fd, chunk.constData(), got))
            return fail(systemError());
    }
    if (!sha3.isEmpty() && hash.result() != sha3)
        return fail(FileError(QStringLiteral("its bytes are not the ones recorded")));
    if (durable) {
        // The source goes away next: its copy must be on the disk, not only in a cache.
        if (::fsync(copy.fd) != 0)
            return fail(systemError());
        if (::lseek(source.fd, 0, SEEK_SET) != 0 || ::lseek(copy.fd, 0, SEEK_SET) != 0)
            return fail(systemError());
        QByteArray other(int(chunkSize), Qt::Uninitialized);
        for (;;) {
            const qint64 a = readFully(source.fd, chunk.data(), chunkSize);
            const qint64 b = readFully(copy.fd, other.data(), chunkSize);
            if (a < 0 || b < 0)
                return fail(systemError());
            if (a != b || std::memcmp(chunk.constData(), other.constData(), size_t(a)) != 0)
                return fail(FileError(QStringLiteral("the copy differs from its source")));
            if (a == 0)
                break;
        }
    }
    // The copy is the source's, in owner and group, where the user may give
    // it away (only root may); anyone else keeps it as their own. It carries
    // a set-id or sticky bit only when it stands in the source's place
    // exactly: as a file of the source's owner and group, and never for a
    // restore, whose mode comes from a journal.
    [[maybe_unused]] const int given = ::fchown(copy.fd, info.st_uid, info.st_gid);
    struct stat made;
    const bool sameOwner
        = ::fstat(copy.fd, &made) == 0 && made.st_uid == info.st_uid && made.st_gid == info.st_gid;
    const mode_t mode = attributes.known ? mode_t(attributes.mode & 0777)
        : sameOwner                      ? info.st_mode & 07777
                                         : info.st_mode & 0777;
    if (::fchmod(copy.fd, mode) != 0)
        return fail(systemError());
    if (attributes.known) {
        // Rounded down, so that a time before 1970 keeps its nanoseconds in range.
        const qint64 seconds
            = attributes.modified / 1000000000 - (attributes.modified % 1000000000 < 0 ? 1 : 0);
        const struct timespec modified = {time_t(seconds), long(attributes.modified - seconds * 1000000000)};
        const struct timespec times[2] = {modified, modified};
        ::futimens(copy.fd, times);
    } else {
        const struct timespec times[2] = {info.st_atim, info.st_mtim};
        ::futimens(copy.fd, times);
    }
    struct stat after;
    if (::fstat(source.fd, &after) != 0 || after.st_size != info.st_size
        || after.st_mtim.tv_sec != info.st_mtim.tv_sec || after.st_mtim.tv_nsec != info.st_mtim.tv_nsec)
        return fail(FileError(QStringLiteral("the source changed while it was copied")));
    if (::linkat(to.folder, temporary.constData(), to.folder, to.name.constData(), 0) != 0)
        return fail(systemError());
    ::unlinkat(to.folder, temporary.constData(), 0);
    return true;
}

bool copyAcross(const At &from, const At &to, FileError *error)
{
    if (!copyBeside(from, to, true, QByteArray(), Attributes(), error))
        return false;
    if (::unlinkat(from.folder, from.name.constData(), 0) != 0) {
        const FileError reason = systemError();
        ::unlinkat(to.folder, to.name.constData(), 0);
        *error = FileError(reason);
        return false;
    }
    return true;
}

} // namespace PosixFile
