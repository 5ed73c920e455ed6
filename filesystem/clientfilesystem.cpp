#include "filesystem/clientfilesystem.h"

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
