#pragma once

class FileSystem;

// The seam in force: the real disk unless a run installed another.
FileSystem &fileSystem();

// Puts `system` in force for its lifetime, for this thread only, over any
// seam in force for every thread.
class ThreadFileSystemScope
{
public:
    explicit ThreadFileSystemScope(FileSystem &system);
    ~ThreadFileSystemScope();
    ThreadFileSystemScope(const ThreadFileSystemScope &) = delete;
    ThreadFileSystemScope &operator=(const ThreadFileSystemScope &) = delete;

private:
    FileSystem *m_previous;
};

// Puts `system` in force for its lifetime, for every thread.
class FileSystemScope
{
public:
    explicit FileSystemScope(FileSystem &system);
    ~FileSystemScope();
    FileSystemScope(const FileSystemScope &) = delete;
    FileSystemScope &operator=(const FileSystemScope &) = delete;

private:
    FileSystem *m_previous;
};
