#include "filesystem/diskfilesystem.h"

#include "filesystem/changerules.h"
#include "filesystem/parentfolder.h"

#include <QCryptographicHash>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace PosixFile;

namespace {

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
    status.mode = info.st_mode & 07777;
    status.owner = info.st_uid;
    status.group = info.st_gid;
    return status;
}

// What an lstat saw: the name itself, a link not followed.
EntryStatus itselfFromStat(const struct stat &info)
{
    EntryStatus status = fromStat(info);
    status.isLink = S_ISLNK(info.st_mode);
    return status;
}

} // namespace

bool DiskFileSystem::place(const QString &path, bool followLast, Descriptor &, At *at, FileError *) const
{
    at->folder = AT_FDCWD;
    at->name = native(path);
    at->follow = followLast;
    return true;
}

EntryStatus DiskFileSystem::linkTarget(const QString &path) const
{
    Descriptor folder;
    At at;
    FileError ignored;
    struct stat info;
    // Still a link after following: a confined seam met one swapped in meanwhile.
    if (!place(path, true, folder, &at, &ignored)
        || ::fstatat(at.folder, at.name.constData(), &info, at.statFlags()) != 0 || S_ISLNK(info.st_mode))
        return {};
    return fromStat(info);
}

// The name itself: a link is not followed.
EntryStatus DiskFileSystem::entryItself(const QString &path) const
{
    Descriptor folder;
    At at;
    FileError ignored;
    struct stat info;
    if (!place(path, false, folder, &at, &ignored)
        || ::fstatat(at.folder, at.name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
        return {};
    return itselfFromStat(info);
}

EntryStatus DiskFileSystem::status(const QString &path) const
{
    const EntryStatus own = entryItself(path);
    if (!own.isLink)
        return own;
    EntryStatus status = linkTarget(path);
    status.exists = true;
    status.isLink = true;
    return status;
}

bool DiskFileSystem::readFile(const QString &path, QByteArray *bytes, FileError *error) const
{
    Descriptor folder;
    At at;
    Descriptor file;
    struct stat info;
    if (!place(path, true, folder, &at, error) || !openRegular(at, file, info, error))
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
    Descriptor sourceFolder;
    Descriptor targetFolder;
    At sourceAt;
    At targetAt;
    Descriptor a;
    Descriptor b;
    struct stat sourceInfo;
    struct stat targetInfo;
    seen->entry = entryItself(source);
    if (!place(source, true, sourceFolder, &sourceAt, &seen->problem)
        || !place(target, true, targetFolder, &targetAt, &seen->problem)
        || !openRegular(sourceAt, a, sourceInfo, &seen->problem)
        || !openRegular(targetAt, b, targetInfo, &seen->problem))
        return FileComparison::Unreadable;
    // A link and the file it points to are one file, not two copies.
    if (sourceInfo.st_dev == targetInfo.st_dev && sourceInfo.st_ino == targetInfo.st_ino) {
        seen->sameFile = true;
        return FileComparison::Unreadable;
    }
    seen->content = fromStat(sourceInfo);
    if (sourceInfo.st_size != targetInfo.st_size)
        return FileComparison::Different;

    QCryptographicHash hash(QCryptographicHash::Sha3_256);
    QByteArray left(int(chunkSize), Qt::Uninitialized);
    QByteArray right(int(chunkSize), Qt::Uninitialized);
    for (;;) {
        const qint64 got = readFully(a.fd, left.data(), chunkSize);
        const qint64 other = readFully(b.fd, right.data(), chunkSize);
        if (got < 0 || other < 0) {
            seen->problem = systemError();
            return FileComparison::Unreadable;
        }
        if (got != other || std::memcmp(left.constData(), right.constData(), size_t(got)) != 0)
            return FileComparison::Different;
        if (got == 0)
            break;
        hash.addData(QByteArray::fromRawData(left.constData(), int(got)));
    }
    // A file written to while it was read was not what was compared.
    struct stat after;
    if (::fstat(a.fd, &after) != 0 || !sameEntry(fromStat(after), seen->content)) {
        seen->problem = FileError(QStringLiteral("it changed while it was compared"));
        return FileComparison::Unreadable;
    }
    seen->sha3 = hash.result();
    return FileComparison::Identical;
}

void DiskFileSystem::sync(const QString &path)
{
    Descriptor folder(::open(native(path).constData(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (folder.fd >= 0)
        ::syncfs(folder.fd);
}

namespace {

// How many folders the disk remembers as writable or swept, each.
constexpr int rememberedFolders = 16384;

} // namespace

bool DiskFileSystem::mayChangeIn(const QString &folder, FileError *why) const
{
    if (m_writable.contains(folder))
        return true;
    Descriptor holder;
    At at;
    struct stat info;
    if (!place(folder, true, holder, &at, why))
        return false;
    if (::fstatat(at.folder, at.name.constData(), &info, at.statFlags()) != 0) {
        *why = systemError();
        return false;
    }
    if (!S_ISDIR(info.st_mode)) {
        *why = systemError(ENOTDIR);
        return false;
    }
    if (::faccessat(at.folder, at.name.constData(), W_OK | X_OK, AT_EACCESS | at.statFlags()) != 0) {
        *why = systemError();
        return false;
    }
    // Remembered to spare the system calls, not for the answer: so many may
    // be forgotten, and asked again, however many folders a run touches.
    if (m_writable.size() >= rememberedFolders)
        m_writable.clear();
    m_writable.insert(folder);
    return true;
}

void DiskFileSystem::removeLeftovers(const QString &path)
{
    const QString parent = parentFolder(path);
    if (m_swept.contains(parent))
        return;
    // Sweeping a folder twice finds nothing new: forgetting costs a listing.
    if (m_swept.size() >= rememberedFolders)
        m_swept.clear();
    m_swept.insert(parent);
    Descriptor holder;
    At at;
    FileError ignored;
    if (!place(parent, true, holder, &at, &ignored))
        return;
    const int fd = ::openat(
        at.folder, at.name.constData(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC | at.openFlags());
    DIR *dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        if (fd >= 0)
            ::close(fd);
        return;
    }
    while (const struct dirent *entry = ::readdir(dir)) {
        struct stat info;
        if (isTemporaryName(QByteArray(entry->d_name))
            && ::fstatat(fd, entry->d_name, &info, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(info.st_mode))
            ::unlinkat(fd, entry->d_name, 0);
    }
    ::closedir(dir);
}

bool DiskFileSystem::doMakeFolder(const QString &path, FileError *error)
{
    Descriptor folder;
    At at;
    if (!place(path, false, folder, &at, error))
        return false;
    if (::mkdirat(at.folder, at.name.constData(), 0777) == 0)
        return true;
    *error = systemError();
    return false;
}

bool DiskFileSystem::doMove(const QString &from, const QString &to, FileError *error)
{
    sweep(from);
    sweep(to);
    Descriptor sourceFolder;
    Descriptor targetFolder;
    At source;
    At target;
    if (!place(from, false, sourceFolder, &source, error) || !place(to, false, targetFolder, &target, error))
        return false;
    if (::renameat2(
            source.folder, source.name.constData(), target.folder, target.name.constData(), RENAME_NOREPLACE)
        == 0)
        return true;
    const int code = errno;
    struct stat info;
    if (::fstatat(source.folder, source.name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0) {
        *error = systemError();
        return false;
    }
    if (code == EXDEV) {
        if (ChangeRules::crossesFileSystems(itselfFromStat(info))) {
            source.follow = false; // the regular file found here, not what a swapped-in link leads to
            return copyAcross(source, target, error);
        }
        *error = systemError(code);
        return false;
    }
    if (code != EINVAL && code != ENOSYS) {
        *error = systemError(code);
        return false;
    }
    // A file system without a no-replace rename: a link cannot replace either.
    if (!S_ISDIR(info.st_mode)) {
        if (::linkat(source.folder, source.name.constData(), target.folder, target.name.constData(), 0)
            != 0) {
            *error = systemError();
            return false;
        }
        ::unlinkat(source.folder, source.name.constData(), 0);
        return true;
    }
    if (::fstatat(target.folder, target.name.constData(), &info, AT_SYMLINK_NOFOLLOW) == 0) {
        *error = systemError(EEXIST);
        return false;
    }
    if (::renameat(source.folder, source.name.constData(), target.folder, target.name.constData()) == 0)
        return true;
    *error = systemError();
    return false;
}

bool DiskFileSystem::doRemove(const QString &path, const ComparedSource &seen, FileError *error)
{
    // The name must still name the entry, and lead to the bytes, that were compared.
    if (!sameEntry(entryItself(path), seen.entry) || !sameEntry(status(path), seen.content)) {
        *error = FileError(QStringLiteral("it changed after it was compared"));
        return false;
    }
    sweep(path);
    Descriptor folder;
    At at;
    if (!place(path, false, folder, &at, error))
        return false;
    if (::unlinkat(at.folder, at.name.constData(), 0) == 0)
        return true;
    *error = systemError();
    return false;
}

bool DiskFileSystem::doWrite(const QString &path, const QByteArray &bytes, FileError *error)
{
    // Asked again: the rules were asked before the change was recorded, and
    // the disk may have changed since.
    if (!ChangeRules::mayWriteOver(status(path), error))
        return false;
    sweep(path);
    Descriptor folder;
    At at;
    if (!place(path, false, folder, &at, error))
        return false;
    const QByteArray temporary = temporaryBeside(at.name);
    Descriptor file(
        ::openat(at.folder, temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666));
    if (file.fd < 0) {
        *error = systemError();
        return false;
    }
    if (!writeFully(file.fd, bytes.constData(), bytes.size()) || ::close(file.fd) != 0) {
        const FileError reason = systemError();
        file.fd = -1;
        ::unlinkat(at.folder, temporary.constData(), 0);
        *error = FileError(reason);
        return false;
    }
    file.fd = -1;
    if (::renameat(at.folder, temporary.constData(), at.folder, at.name.constData()) != 0) {
        const FileError reason = systemError();
        ::unlinkat(at.folder, temporary.constData(), 0);
        *error = FileError(reason);
        return false;
    }
    return true;
}

bool DiskFileSystem::doRemoveFolder(const QString &path, FileError *error)
{
    Descriptor folder;
    At at;
    if (!place(path, false, folder, &at, error))
        return false;
    if (::unlinkat(at.folder, at.name.constData(), AT_REMOVEDIR) == 0)
        return true;
    *error = systemError();
    return false;
}

bool DiskFileSystem::inspect(const QString &path, ComparedSource *seen, FileError *error) const
{
    Descriptor folder;
    At at;
    Descriptor file;
    struct stat info;
    seen->entry = entryItself(path);
    if (!place(path, true, folder, &at, error) || !openRegular(at, file, info, error))
        return false;
    seen->content = fromStat(info);
    QCryptographicHash hash(QCryptographicHash::Sha3_256);
    const auto addChunk
        = [&hash](const char *data, qint64 size) { hash.addData(QByteArray::fromRawData(data, int(size))); };
    if (!readChunks(file.fd, addChunk, error))
        return false;
    seen->sha3 = hash.result();
    return true;
}

bool DiskFileSystem::doCopy(const QString &from, const QString &to, const QByteArray &sha3,
    const Attributes &attributes, FileError *error)
{
    sweep(to);
    Descriptor sourceFolder;
    Descriptor targetFolder;
    At source;
    At target;
    return place(from, true, sourceFolder, &source, error) && place(to, false, targetFolder, &target, error)
        && copyBeside(source, target, false, sha3, attributes, error);
}
