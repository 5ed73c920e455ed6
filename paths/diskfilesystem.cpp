#include "paths/diskfilesystem.h"

#include "paths/posixfile.h"

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

using namespace PosixFile;

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
            listing.followedLinks = true;
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
    if (!readChunks(
            file.fd, [&result](const char *data, qint64 size) { result.append(data, int(size)); }, error))
        return false;
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
    if (!readChunks(
            file.fd, [&hash](const char *data, qint64 size) { hash.addData(data, int(size)); }, error))
        return false;
    seen->sha3 = hash.result();
    return true;
}

bool DiskFileSystem::doCopy(const QString &from, const QString &to, const QByteArray &sha3, QString *error)
{
    return copyBeside(native(from), native(to), false, sha3, error);
}
