#include "window/walkrunner.h"

#include "log/loglevel.h"
#include "migration/migration.h"
#include "paths/folders.h"
#include "undo/undo.h"

#include <QThread>

namespace {

QString logWindowText(QStringList log, const WalkOutcome &outcome)
{
    if (outcome.stopped)
        log.append(stoppedLine(outcome));
    // An empty log would open no window, and nothing would ever end the
    // event loop; saying where the program looked ends the run as usual.
    if (log.isEmpty())
        return QStringLiteral("No character folders found in %1.").arg(charactersFolderPath());
    return joinLog(log);
}

} // namespace

WalkRunner::WalkRunner(LegacyConverter convert, const QString &version, QObject *parent)
    : QObject(parent)
    , m_convert(std::move(convert))
    , m_version(version)
{
}

WalkRunner::WalkRunner(ConversionReader read, const QString &version, QObject *parent)
    : QObject(parent)
    , m_read(std::move(read))
    , m_version(version)
{
}

WalkRunner::~WalkRunner()
{
    if (!m_thread)
        return;
    requestStop();
    m_thread->wait();
    delete m_thread;
}

bool WalkRunner::start(bool dryRun)
{
    WalkHooks hooks;
    // Emitted on the worker; Qt queues it to receivers in other threads.
    hooks.progress = [this](int done, int total, const QString &name) { emit progress(done, total, name); };
    hooks.stopRequested = [this] { return m_stop.load(); };
    // The window's run is journaled like any other.
    RunOptions options;
    options.version = m_version;
    options.dryRun = dryRun;
    return launch(
        [this, hooks, options] {
            return m_read ? runMigration(m_read, hooks, options) : runMigration(m_convert, hooks, options);
        },
        false);
}

bool WalkRunner::startUndo(const QString &journal)
{
    UndoHooks hooks;
    hooks.progress = [this](int done, int total, const QString &name) { emit progress(done, total, name); };
    hooks.stopRequested = [this] { return m_stop.load(); };
    RunOptions options;
    options.version = m_version;
    return launch([journal, hooks, options] { return undoRun(journal, options, hooks); }, true);
}

bool WalkRunner::launch(std::function<RunReport()> work, bool undo)
{
    if (m_thread)
        return false;
    m_stop = false;
    m_thread = QThread::create([this, work, undo] {
        const RunReport report = work();
        m_stopped = report.outcome.stopped;
        const ChangeCounts &counts = report.counts;
        const bool changed = counts.moves + counts.deletions + counts.documents + counts.folders > 0;
        // No undo is offered after an undo: an undo's own journal is never undone.
        m_undoable = !undo && changed && report.failure.isEmpty() ? report.journal : QString();
        if (!report.failure.isEmpty())
            m_message = formatLogLine(LogLevel::Error, report.failure);
        else if (undo)
            m_message = joinLog(report.log);
        else
            m_message = logWindowText(report.log, report.outcome);
    });
    connect(m_thread, &QThread::finished, this, &WalkRunner::collect, Qt::QueuedConnection);
    m_thread->start();
    return true;
}

bool WalkRunner::isRunning() const
{
    return m_thread != nullptr;
}

void WalkRunner::requestStop()
{
    m_stop = true;
}

void WalkRunner::collect()
{
    m_thread->wait();
    delete m_thread;
    m_thread = nullptr;
    emit finished(m_message);
}
