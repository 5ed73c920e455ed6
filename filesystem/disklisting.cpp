// How the disk lists a folder. A name's kind is taken from the folder where
// it tells one, and asked of the entry only where it does not (a link, or a
// file system that tells no kinds), so a large folder costs one read of its
// names and no call for each file in it.
#include "filesystem/diskfilesystem.h"

#include <QFile>

#include <cerrno>
#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace PosixFile;

FolderListing DiskFileSystem::list(const QString &folder) const
{
    return readFolder(folder, nullptr);
}

FolderListing DiskFileSystem::listNames(const QString &folder, QStringList *untold) const
{
    return readFolder(folder, untold);
}

FolderListing DiskFileSystem::readFolder(const QString &folder, QStringList *untold) const
{
    const bool everyName = untold != nullptr;
    FolderListing listing;
    if (folder.isEmpty())
        return listing;
    Descriptor holder;
    At at;
    if (!place(folder, true, holder, &at, &listing.error))
        return listing;
    const int fd = ::openat(
        at.folder, at.name.constData(), O_RDONLY | O_DIRECTORY | O_NONBLOCK | O_CLOEXEC | at.openFlags());
    DIR *dir = fd < 0 ? nullptr : ::fdopendir(fd);
    if (!dir) {
        if (errno != ENOENT && errno != ENOTDIR)
            listing.error = systemError();
        if (fd >= 0)
            ::close(fd);
        return listing;
    }
    while (const struct dirent *entry = ::readdir(dir)) {
        const QByteArray raw(entry->d_name);
        if (raw.startsWith('.'))
            continue; // hidden, or "." and ".."
        unsigned char type = entry->d_type;
        if (!everyName && (type == DT_LNK || type == DT_UNKNOWN)) {
            struct stat info;
            if (::fstatat(fd, raw.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0)
                continue;
            if (S_ISLNK(info.st_mode)) {
                listing.followedLinks = true;
                const EntryStatus target = linkTarget(folder + QLatin1Char('/') + QFile::decodeName(raw));
                type = target.isFolder() ? DT_DIR : target.isFile() ? DT_REG : DT_UNKNOWN;
            } else {
                type = S_ISDIR(info.st_mode) ? DT_DIR : S_ISREG(info.st_mode) ? DT_REG : DT_UNKNOWN;
            }
        }
        const bool told = type == DT_DIR || type == DT_REG;
        if (!everyName && !told)
            continue; // FIFOs, devices, sockets and dangling links are nothing the migration moves
        const QString name = QFile::decodeName(raw);
        if (QFile::encodeName(name) != raw) {
            listing.undecodable.append(raw);
            continue;
        }
        if (told)
            listing.entries.append({name, type == DT_DIR});
        else
            untold->append(name);
    }
    ::closedir(dir);
    return listing;
}
