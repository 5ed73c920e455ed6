#include "window/walkrunner.h"

#include "log/loglevel.h"
#include "migration/migration.h"
#include "paths/folders.h"
#include "run/textlog.h"
#include "undo/undo.h"

#include <QThread>

namespace {

// The log window's text: the seed's coloured lines, without change lines.
QString logWindowText(const RunReport &report)
{
    TextForm form;
    form.client = report.log.client();
    QStringList log = textLines(report.log.records(), form);
    if (report.undo)
        return joinLog(log);
    if (report.outcome.stopped)
        log.append(stoppedLine(report.outcome));
    // An empty log would open no window, and nothing would ever end the
    // event loop; saying where the program looked ends the run as usual.
    if (log.isEmpty())
        return QStringLiteral("No character folders found in %1.").arg(charactersFolderPath(form.client));
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

bool WalkRunner::start(const QString &client, bool dryRun, const QStringList &characters)
{
    WalkHooks hooks;
    // Emitted on the worker; Qt queues it to receivers in other threads.
    hooks.progress = [this](int done, int total, const QString &name) { emit progress(done, total, name); };
    const StopRequest stop = [this] { return m_stop.load(); };
    // The window's run is journaled like any other.
    RunOptions options;
    options.version = m_version;
    options.dryRun = dryRun;
    options.changeRecords = true; // the log window lists them
    options.characters = characters;
    return launch([this, client, hooks, options, stop] {
        return m_read ? runMigration(client, m_read, options, hooks, stop)
                      : runMigration(client, m_convert, options, hooks, stop);
    });
}

bool WalkRunner::startUndo(const QString &journal)
{
    UndoHooks hooks;
    hooks.progress = [this](int done, int total, const QString &name) { emit progress(done, total, name); };
    const StopRequest stop = [this] { return m_stop.load(); };
    RunOptions options;
    options.version = m_version;
    options.changeRecords = true;
    return launch([journal, hooks, options, stop] { return undoRun(journal, options, hooks, stop); });
}

bool WalkRunner::launch(std::function<RunReport()> work)
{
    if (m_thread)
        return false;
    m_stop = false;
    m_thread = QThread::create([this, work] {
        m_report = work();
        m_stopped = m_report.outcome.stopped;
        m_undoable = m_report.undoableJournal();
        m_message = m_report.failure.isEmpty() ? logWindowText(m_report)
                                               : formatLogLine(LogLevel::Error, m_report.failure);
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
