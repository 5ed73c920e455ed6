#include "paths/diskfilesystem.h"

#include <QCryptographicHash>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 chunkSize = 256 * 1024;

QString systemError(int code = errno)
{
    return QString::fromLocal8Bit(std::strerror(code));
}

QByteArray native(const QString &path)
{
    return QFile::encodeName(path);
}

EntryStatus fromStat(const struct stat &info)
{
    EntryStatus status;
    status.exists = true;
    status.type = S_ISREG(info.st_mode) ? EntryStatus::File
        : S_ISDIR(info.st_mode)         ? EntryStatus::Folder
                                        : EntryStatus::Other;
    status.size = info.st_size;
    status.device = info.st_dev;
    status.inode = info.st_ino;
    status.modified = qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec;
    return status;
}

// Closes a descriptor when it goes out of scope.
struct Descriptor
{
    int fd = -1;
    ~Descriptor()
    {
        if (fd >= 0)
            ::close(fd);
    }
};

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

// Copies a file to another file system beside its target, proves the copy
// equal, links it into place (never over an entry), and only then removes
// the source.
bool copyAcross(const QByteArray &from, const QByteArray &to, QString *error)
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
    QByteArray chunk(int(chunkSize), Qt::Uninitialized);
    QByteArray other(int(chunkSize), Qt::Uninitialized);
    for (;;) {
        const qint64 got = readFully(source.fd, chunk.data(), chunkSize);
        if (got < 0)
            return fail(systemError());
        if (got == 0)
            break;
        if (!writeFully(copy.fd, chunk.constData(), got))
            return fail(systemError());
    }
    // The source goes away next: its copy must be on the disk, not only in a cache.
    if (::fsync(copy.fd) != 0)
        return fail(systemError());
    if (::lseek(source.fd, 0, SEEK_SET) != 0 || ::lseek(copy.fd, 0, SEEK_SET) != 0)
        return fail(systemError());
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
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    ::futimens(copy.fd, times);
    struct stat after;
    if (::fstat(source.fd, &after) != 0 || after.st_size != info.st_size
        || after.st_mtim.tv_sec != info.st_mtim.tv_sec || after.st_mtim.tv_nsec != info.st_mtim.tv_nsec)
        return fail(QStringLiteral("the source changed while it was copied"));
    if (::link(temporary.constData(), to.constData()) != 0)
        return fail(systemError());
    ::unlink(temporary.constData());
    if (::unlink(from.constData()) != 0) {
        const QString reason = systemError();
        ::unlink(to.constData());
        *error = reason;
        return false;
    }
    return true;
}

// The name itself: a link is not followed.
EntryStatus entryItself(const QString &path)
{
    struct stat info;
    if (::lstat(native(path).constData(), &info) != 0)
        return {};
    EntryStatus status = fromStat(info);
    status.isLink = S_ISLNK(info.st_mode);
    return status;
}

} // namespace

EntryStatus DiskFileSystem::status(const QString &path) const
{
    const QByteArray name = native(path);
    struct stat info;
    if (::lstat(name.constData(), &info) != 0)
        return {};
    if (!S_ISLNK(info.st_mode))
        return fromStat(info);
    EntryStatus status;
    if (::stat(name.constData(), &info) == 0)
        status = fromStat(info);
    status.exists = true;
    status.isLink = true;
    return status;
}

FolderListing DiskFileSystem::list(const QString &folder) const
{
    return readFolder(folder, false);
}

FolderListing DiskFileSystem::listNames(const QString &folder) const
{
    return readFolder(folder, true);
}

FolderListing DiskFileSystem::readFolder(const QString &folder, bool everyName)
{
    FolderListing listing;
    if (folder.isEmpty())
        return listing;
    const QByteArray root = native(folder);
    DIR *dir = ::opendir(root.constData());
    if (!dir) {
        if (errno != ENOENT && errno != ENOTDIR)
            listing.error = systemError();
        return listing;
    }
    while (const struct dirent *entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (raw.startsWith('.'))
            continue; // hidden, or "." and ".."
        unsigned char type = entry->d_type;
        if (!everyName && (type == DT_LNK || type == DT_UNKNOWN)) {
            struct stat info;
            const QByteArray full = root + '/' + raw;
            if (::stat(full.constData(), &info) != 0)
                continue; // a dangling link
            type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
        }
        if (!everyName && type != DT_DIR && type != DT_REG)
            continue; // FIFOs, devices and sockets are nothing the migration moves
        const QString name = QFile::decodeName(raw);
        if (QFile::encodeName(name) != raw) {
            listing.undecodable.append(raw);
            continue;
        }
        listing.entries.append({name, type == DT_DIR});
    }
    ::closedir(dir);
    return listing;
}

bool DiskFileSystem::readFile(const QString &path, QByteArray *bytes, QString *error) const
{
    Descriptor file;
    struct stat info;
    if (!openRegular(native(path), file, info, error))
        return false;
    QByteArray result;
    QByteArray chunk(int(chunkSize), Qt::Uninitialized);
    for (;;) {
        const qint64 got = readFully(file.fd, chunk.data(), chunkSize);
        if (got < 0) {
            *error = systemError();
            return false;
        }
        if (got == 0)
            break;
        result.append(chunk.constData(), int(got));
    }
    *bytes = result;
    return true;
}

FileComparison DiskFileSystem::compare(
    const QString &source, const QString &target, ComparedSource *seen) const
{
    QString ignored;
    Descriptor a;
    Descriptor b;
    struct stat sourceInfo;
    struct stat targetInfo;
    seen->entry = entryItself(source);
    if (!openRegular(native(source), a, sourceInfo, &ignored)
        || !openRegular(native(target), b, targetInfo, &ignored))
        return FileComparison::Unreadable;
    // A link and the file it points to are one file, not two copies.
    if (sourceInfo.st_dev == targetInfo.st_dev && sourceInfo.st_ino == targetInfo.st_ino)
        return FileComparison::Unreadable;
    seen->content = fromStat(sourceInfo);
    if (sourceInfo.st_size != targetInfo.st_size)
        return FileComparison::Different;

    QCryptographicHash hash(QCryptographicHash::Sha3_256);
    QByteArray left(int(chunkSize), Qt::Uninitialized);
    QByteArray right(int(chunkSize), Qt::Uninitialized);
    for (;;) {
        const qint64 got = readFully(a.fd, left.data(), chunkSize);
        const qint64 other = readFully(b.fd, right.data(), chunkSize);
        if (got < 0 || other < 0)
            return FileComparison::Unreadable;
        if (got != other || std::memcmp(left.constData(), right.constData(), size_t(got)) != 0)
            return FileComparison::Different;
        if (got == 0)
            break;
        hash.addData(left.constData(), int(got));
    }
    // A file written to while it was read was not what was compared.
    struct stat after;
    if (::fstat(a.fd, &after) != 0 || !sameEntry(fromStat(after), seen->content))
        return FileComparison::Unreadable;
    seen->sha3 = hash.result();
    return FileComparison::Identical;
}

void DiskFileSystem::sync(const QString &path)
{
    Descriptor folder;
    folder.fd = ::open(native(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (folder.fd >= 0)
        ::syncfs(folder.fd);
}

bool DiskFileSystem::doMakeFolder(const QString &path, QString *error)
{
    if (::mkdir(native(path).constData(), 0777) == 0)
        return true;
    *error = systemError();
    return false;
}

bool DiskFileSystem::doMove(const QString &from, const QString &to, QString *error)
{
    const QByteArray source = native(from);
    const QByteArray target = native(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    const int code = errno;
    struct stat info;
    if (::lstat(source.constData(), &info) != 0) {
        *error = systemError();
        return false;
    }
    if (code == EXDEV) {
        if (S_ISREG(info.st_mode))
            return copyAcross(source, target, error);
        *error = systemError(code);
        return false;
    }
    if (code != EINVAL && code != ENOSYS) {
        *error = systemError(code);
        return false;
    }
    // A file system without a no-replace rename: a link cannot replace either.
    if (!S_ISDIR(info.st_mode)) {
        if (::link(source.constData(), target.constData()) != 0) {
            *error = systemError();
            return false;
        }
        ::unlink(source.constData());
        return true;
    }
    if (::lstat(target.constData(), &info) == 0) {
        *error = systemError(EEXIST);
        return false;
    }
    if (::rename(source.constData(), target.constData()) == 0)
        return true;
    *error = systemError();
    return false;
}

bool DiskFileSystem::doRemove(const QString &path, const ComparedSource &seen, QString *error)
{
    // The name must still name the entry, and lead to the bytes, that were compared.
    if (!sameEntry(entryItself(path), seen.entry) || !sameEntry(status(path), seen.content)) {
        *error = QStringLiteral("it changed after it was compared");
        return false;
    }
    if (::unlink(native(path).constData()) == 0)
        return true;
    *error = systemError();
    return false;
}

bool DiskFileSystem::doWrite(const QString &path, const QByteArray &bytes, QString *error)
{
    const EntryStatus existing = status(path);
    if (existing.isLink) {
        *error = QStringLiteral("it is a link");
        return false;
    }
    if (existing.exists && !existing.isFile()) {
        *error = QStringLiteral("not a regular file");
        return false;
    }
    const QByteArray temporary = native(temporarySibling(path));
    Descriptor file;
    file.fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (file.fd < 0) {
        *error = systemError();
        return false;
    }
    if (!writeFully(file.fd, bytes.constData(), bytes.size()) || ::close(file.fd) != 0) {
        const QString reason = systemError();
        file.fd = -1;
        ::unlink(temporary.constData());
        *error = reason;
        return false;
    }
    file.fd = -1;
    if (::rename(temporary.constData(), native(path).constData()) != 0) {
        const QString reason = systemError();
        ::unlink(temporary.constData());
        *error = reason;
        return false;
    }
    return true;
}

bool DiskFileSystem::doRemoveFolder(const QString &path, QString *error)
{
    if (::rmdir(native(path).constData()) == 0)
        return true;
    *error = systemError();
    return false;
}

bool DiskFileSystem::inspect(const QString &path, ComparedSource *seen, QString *error) const
{
    Descriptor file;
    struct stat info;
    seen->entry = entryItself(path);
    if (!openRegular(native(path), file, info, error))
        return false;
    seen->content = fromStat(info);
    QCryptographicHash hash(QCryptographicHash::Sha3_256);
    QByteArray chunk(int(chunkSize), Qt::Uninitialized);
    for (;;) {
        const qint64 got = readFully(file.fd, chunk.data(), chunkSize);
        if (got < 0) {
            *error = systemError();
            return false;
        }
        if (got == 0)
            break;
        hash.addData(chunk.constData(), int(got));
    }
    seen->sha3 = hash.result();
    return true;
}

bool DiskFileSystem::doCopy(const QString &from, const QString &to, const QByteArray &sha3, QString *error)
{
    Descriptor source;
    struct stat info;
    if (!openRegular(native(from), source, info, error))
        return false;
    const QByteArray target = native(to);
    const QByteArray temporary = native(temporarySibling(to));
    Descriptor copy;
    copy.fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, info.st_mode & 07777);
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
    if (hash.result() != sha3)
        return fail(QStringLiteral("its bytes are not the ones recorded"));
    const struct timespec times[2] = {info.st_atim, info.st_mtim};
    ::futimens(copy.fd, times);
    if (::link(temporary.constData(), target.constData()) != 0)
        return fail(systemError());
    ::unlink(temporary.constData());
    return true;
}
