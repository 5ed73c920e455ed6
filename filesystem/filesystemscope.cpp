#include "filesystem/filesystemscope.h"

#include "filesystem/diskfilesystem.h"

#include <atomic>

namespace {

std::atomic<FileSystem *> installed{nullptr};
thread_local FileSystem *installedHere = nullptr;

FileSystem &disk()
{
    static DiskFileSystem instance;
    return instance;
}

} // namespace

FileSystem &fileSystem()
{
    if (installedHere)
        return *installedHere;
    FileSystem *system = installed.load();
    return system ? *system : disk();
}

FileSystemScope::FileSystemScope(FileSystem &system)
    : m_previous(installed.exchange(&system))
{
}

FileSystemScope::~FileSystemScope()
{
    installed.store(m_previous);
}

ThreadFileSystemScope::ThreadFileSystemScope(FileSystem &system)
    : m_previous(installedHere)
{
    installedHere = &system;
}

ThreadFileSystemScope::~ThreadFileSystemScope()
{
    installedHere = m_previous;
}
