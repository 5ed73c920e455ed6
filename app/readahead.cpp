#include "app/readahead.h"

ReadAhead::ReadAhead(FileSystem &files)
    : m_files(files)
    , m_observer(files.observer())
    , m_changes(files, files.observer())
{
    m_files.setObserver(&m_changes);
    m_thread = std::thread([this] { work(); });
}

ReadAhead::~ReadAhead()
{
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_quit = true;
    }
    m_wake.notify_all();
    m_thread.join();
    m_files.setObserver(m_observer);
}

void ReadAhead::start(Reading reading)
{
    m_changes.clear();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_reading = std::move(reading);
        m_started = true;
        m_finished = false;
    }
    m_wake.notify_all();
}

std::unique_ptr<FolderConversion> ReadAhead::take()
{
    std::unique_lock<std::mutex> lock(m_mutex);
    m_wake.wait(lock, [this] { return m_finished; });
    m_finished = false;
    std::unique_ptr<FolderConversion> result = std::move(m_result);
    if (m_passedLink || shareFolder(m_read, m_changes.folders()))
        return nullptr;
    return result;
}

void ReadAhead::work()
{
    for (;;) {
        Reading reading;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return m_started || m_quit; });
            if (m_quit)
                return;
            m_started = false;
            reading = std::move(m_reading);
        }
        ReadRecorder recorder(m_files);
        std::unique_ptr<FolderConversion> result;
        {
            const ThreadFileSystemScope scope(recorder);
            result = reading();
        }
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_result = std::move(result);
            m_read = recorder.folders();
            m_passedLink = recorder.passedLink();
            m_finished = true;
        }
        m_wake.notify_all();
    }
}
