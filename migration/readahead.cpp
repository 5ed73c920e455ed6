#include "migration/readahead.h"

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
    m_changes.open();
    {
        const std::lock_guard<std::mutex> lock(m_mutex);
        m_waiting.push_back(std::move(reading));
    }
    m_wake.notify_all();
}

std::unique_ptr<FolderConversion> ReadAhead::take()
{
    Result result;
    {
        std::unique_lock<std::mutex> lock(m_mutex);
        m_wake.wait(lock, [this] { return !m_done.empty(); });
        result = std::move(m_done.front());
        m_done.pop_front();
    }
    const FolderIds changed = m_changes.close();
    if (result.passedLink || shareFolder(result.read, changed))
        return nullptr;
    return std::move(result.conversion);
}

void ReadAhead::work()
{
    for (;;) {
        Reading reading;
        {
            std::unique_lock<std::mutex> lock(m_mutex);
            m_wake.wait(lock, [this] { return !m_waiting.empty() || m_quit; });
            if (m_quit)
                return;
            reading = std::move(m_waiting.front());
            m_waiting.pop_front();
        }
        ReadRecorder recorder(m_files);
        Result result;
        result.conversion = reading(recorder);
        result.read = recorder.folders();
        result.passedLink = recorder.passedLink();
        {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_done.push_back(std::move(result));
        }
        m_wake.notify_all();
    }
}
