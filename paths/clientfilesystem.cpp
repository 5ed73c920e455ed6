#include "paths/clientfilesystem.h"

#include <sys/stat.h>

using namespace PosixFile;

ClientFileSystem::ClientFileSystem(const ClientRoot &root)
    : m_root(root)
{
}

bool ClientFileSystem::reaches(const QString &path, FileError *why) const
{
    return m_root.reaches(path, false, why);
}

bool ClientFileSystem::place(
    const QString &path, bool followLast, Descriptor &folder, At *at, FileError *error) const
{
    QByteArray relative;
    if (!m_root.relative(path, &relative)) {
        *error = ClientRoot::outsideReason();
        return false;
    }
    return m_root.resolve(relative, followLast, folder, at, error);
}

EntryStatus ClientFileSystem::linkTarget(int, const QByteArray &, const QString &path) const
{
    // Followed from the top folder again, so that it can never lead out.
    Descriptor folder;
    At at;
    FileError ignored;
    struct stat info;
    if (!place(path, true, folder, &at, &ignored)
        || ::fstatat(at.folder, at.name.constData(), &info, AT_SYMLINK_NOFOLLOW) != 0
        || S_ISLNK(info.st_mode))
        return {};
    return fromStat(info);
}
