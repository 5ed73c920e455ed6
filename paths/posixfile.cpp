#include "paths/posixfile.h"

#include "paths/filesystem.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

namespace PosixFile {

QString systemError(int code)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QString systemError()
{
    return systemError(errno);
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

Descriptor::~Descriptor()
{
    if (fd >= 0)
        ::close(fd);
}

// Opens a regular file for reading, and nothing else: a FIFO or a device
// would block the run or never end. Fills `info` with what was opened.
bool openRegular(const QByteArray &path, Descriptor &file, struct stat &info, QString *error)
{
    if (::stat(path.constData(), &info) != 0) {
        *error = systemError();
        return false;
    }
    if (!S_ISREG(info.st_mode)) {
        *error = QStringLiteral("not a regular file");
        return false;
    }
    file.fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
    struct stat opened;
    if (file.fd < 0 || ::fstat(file.fd, &opened) != 0) {
        *error = systemError();
        return false;
    }
    if (!S_ISREG(opened.st_mode) || opened.st_ino != info.st_ino || opened.st_dev != info.st_dev) {
        *error = QStringLiteral("not a regular file");
        return false;
    }
    info = opened;
    return true;
}

// Reads up to `size` bytes, retrying short reads; -1 on an error.
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

// Copies a regular file to a free name: into a temporary file beside the
// target, linked into place only once it is whole (a link never replaces an
// entry). With `durable`, the copy is synced and read back against its source
// before it is linked; with `sha3`, the bytes copied must have that digest.
bool copyBeside(
    const QByteArray &from, const QByteArray &to, bool durable, const QByteArray &sha3, QString *error)
{
    Descriptor source;
    struct stat info;
    if (!openRegular(from, source, info, error))
        return false;
    const QByteArray temporary = native(temporarySibling(QFile::decodeName(to)));
    Descriptor copy;
    copy.fd = ::open(temporary.constData(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777);
    if (copy.fd < 0) {
        *error = systemError();
        return false;
    }
    auto fail = [&](const QString &reason) {
        ::unlink(temporary.constData());
        *error = reason;
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
        hash.addData(chunk.constData(), int(got));
        if (!writeFully(copy.fd, chunk.constData(), got))
            return fail(systemError());
    }
    if (!sha3.isEmpty() && hash.result() != sha3)
        return fail(QStringLiteral("its bytes are not the ones recorded"));
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
                return fail(QStringLiteral("the copy differs from its source"));
            if (a == 0)
                break;
        }
    }
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    ::futimens(copy.fd, times);
    struct stat after;
    if (::fstat(source.fd, &after) != 0 || after.st_size != info.st_size
        || after.st_mtim.tv_sec != info.st_mtim.tv_sec || after.st_mtim.tv_nsec != info.st_mtim.tv_nsec)
        return fail(QStringLiteral("the source changed while it was copied"));
    if (::link(temporary.constData(), to.constData()) != 0)
        return fail(systemError());
    ::unlink(temporary.constData());
    return true;
}

// Moves a file to another file system: a proved copy first, then the source goes.
bool copyAcross(const QByteArray &from, const QByteArray &to, QString *error)
{
    if (!copyBeside(from, to, true, QByteArray(), error))
        return false;
    if (::unlink(from.constData()) != 0) {
        const QString reason = systemError();
        ::unlink(to.constData());
        *error = reason;
        return false;
    }
    return true;
}

} // namespace PosixFile
