#pragma once

#include "app/folderconversion.h"
#include "paths/folderwatch.h"

#include <condition_variable>
#include <mutex>
#include <thread>

// Reads the next character folder on a second thread while the walk changes
// the current one. Character folders are independent of each other, but a
// link can make two of them share a folder; so what was read ahead is used
// only when it passed no link and no change made meanwhile touched a folder
// it read. Otherwise the walk reads the folder again itself, and the outcome
// is the one of a walk that reads each folder just before changing it.
class ReadAhead
{
public:
    using Reading = std::function<std::unique_ptr<FolderConversion>()>;

    // Watches every change made through `files` for its lifetime.
    explicit ReadAhead(FileSystem &files);
    ~ReadAhead();
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    // Starts a reading on the second thread; changes are watched from now on.
    void start(Reading reading);
    // Waits for the reading started last; nothing when it may be stale.
    std::unique_ptr<FolderConversion> take();

private:
    void work();

    FileSystem &m_files;
    ChangeObserver *m_observer;
    ChangedFolders m_changes;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    Reading m_reading;
    bool m_started = false;
    bool m_finished = false;
    bool m_quit = false;
    std::unique_ptr<FolderConversion> m_result;
    FolderIds m_read;
    bool m_passedLink = false;
    std::thread m_thread;
};
