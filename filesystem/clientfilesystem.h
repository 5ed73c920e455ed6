#pragma once

#include "filesystem/clientroot.h"
#include "filesystem/diskfilesystem.h"

// The disk as seen from inside one client: every path is resolved from the
// client's top folder, held open, and nothing outside it is ever created,
// changed or read. A path that is not below the client, or that leads out of
// it through a link, fails with the reason. What an undo works through, since
// its journal may come from anyone.
class ClientFileSystem : public DiskFileSystem
{
public:
    explicit ClientFileSystem(const ClientRoot &root);

    bool reaches(const QString &path, FileError *why) const override;

protected:
    bool place(const QString &path, bool followLast, PosixFile::Descriptor &folder, PosixFile::At *at,
        FileError *error) const override;

private:
    const ClientRoot &m_root;
};
