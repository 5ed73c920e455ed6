#pragma once

#include "filesystem/folderwatch.h"
#include "run/folderconversion.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

// Reads the next character folders on a second thread while the walk changes
// the current one. Character folders are independent of each other, but a
// link can make two of them share a folder; so what was read ahead is used
// only when it passed no link and no change made meanwhile touched a folder
// it read. Otherwise the walk reads the folder again itself, and the outcome
// is the one of a walk that reads each folder just before changing it.
class ReadAhead
{
public:
    // Reads through the seam it is given: on the second thread, one that
    // watches which folders the reading passes.
    using Reading = std::function<std::unique_ptr<FolderConversion>(const FileSystem &files)>;

    // How many readings may wait ahead of the walk: enough to even out
    // folders that take long to read against folders that take long to
    // change, few enough to keep memory small.
    static constexpr int depth = 4;

    // Watches every change made through `files` for its lifetime.
    explicit ReadAhead(FileSystem &files);
    ~ReadAhead();
    ReadAhead(const ReadAhead &) = delete;
    ReadAhead &operator=(const ReadAhead &) = delete;

    // Queues a reading for the second thread; changes are watched for it
    // from now on.
    void start(Reading reading);
    // Waits for the oldest reading; nothing when it may be stale.
    std::unique_ptr<FolderConversion> take();

private:
    struct Result
    {
        std::unique_ptr<FolderConversion> conversion;
        FolderIds read;
        bool passedLink = false;
    };

    void work();

    FileSystem &m_files;
    ChangeObserver *m_observer;
    ChangedFolders m_changes;

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::deque<Reading> m_waiting;
    std::deque<Result> m_done;
    bool m_quit = false;
    std::thread m_thread;
};
