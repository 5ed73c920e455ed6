#include "migration/migration.h"

#include "filesystem/clientfilesystem.h"
#include "filesystem/diskfilesystem.h"
#include "filesystem/plannedfilesystem.h"
#include "journal/journal.h"
#include "paths/filetree.h"
#include "paths/folders.h"

#include <QDir>

#include <algorithm>
#include <memory>

RunSeam::RunSeam(const QString &client, const RunOptions &options, Report &report, Reach reach)
    : m_client(client)
    , m_options(options)
    , m_root(std::make_unique<ClientRoot>())
    , m_report(report)
    , m_recorder(report)
{
    std::unique_ptr<DiskFileSystem> disk = reach == Reach::Client
        ? std::make_unique<ClientFileSystem>(*m_root)
        : std::make_unique<DiskFileSystem>();
    if (options.dryRun)
        m_files = std::make_unique<PlannedFileSystem>(std::move(disk));
    else
        m_files = std::move(disk);
    m_files->setObserver(&m_recorder);
    m_files->setClient(m_root.get());
}

RunSeam::~RunSeam() = default;

bool RunSeam::open(RunReport &report)
{
    FileError reason;
    if (!m_root->open(m_client, &reason)) {
        report.fail(RunFailure::Other, QStringLiteral("cannot open %1: %2").arg(m_client, reason.text));
        return false;
    }
    if (!m_root->lock(&reason)) {
        report.fail(RunFailure::Busy, reason.text);
        return false;
    }
    return true;
}

bool RunSeam::keepJournal(const QString &undoOf, RunReport &report)
{
    FileError reason;
    if (m_options.dryRun ? !journalFolderUsable(*m_root, &reason)
                         : !(m_journal = Journal::create(*m_root, m_options.version, undoOf, &reason))) {
        report.fail(RunFailure::Other,
            QStringLiteral("cannot keep a journal in %1: %2").arg(journalFolder(m_client), reason.text));
        return false;
    }
    if (m_journal) {
        report.journal = m_journal->path();
        m_recorder.setJournal(m_journal.get());
    }
    return true;
}

void RunSeam::finish(RunReport &report, int left)
{
    if (m_journal)
        m_journal->finish(report.outcome.stopped, report.errors(), left);
    m_files->sync(m_client);
}

namespace {

template<typename Converter>
RunReport migrate(const QString &folder, const Converter &convert, const RunOptions &options,
    const WalkHooks &hooks, const StopRequest &stop)
{
    RunReport report;
    const QString client = QDir::cleanPath(QDir(folder).absolutePath());
    report.log = Report(client, options.changeRecords);
    RunSeam seam(client, options, report.log);
    // Where there is no character folder there is no client to keep a journal
    // in; the disk is asked before the client is opened.
    const bool found
        = !AsFileTree::buildFileTree(DiskFileSystem(), charactersFolderPath(client), AsFileTree::Folders)
               .children.isEmpty();
    if (!seam.open(report) || (found && !seam.keepJournal(QString(), report)))
        return report;
    RunContext run = seam.context(stop);
    run.characters = options.characters;
    report.outcome = restructureCharacterFolders(run, convert, hooks);
    seam.finish(report);
    return report;
}

} // namespace

RunReport runMigration(const QString &client, const LegacyConverter &convert, const RunOptions &options,
    const WalkHooks &hooks, const StopRequest &stop)
{
    return migrate(client, convert, options, hooks, stop);
}

RunReport runMigration(const QString &client, const ConversionReader &read, const RunOptions &options,
    const WalkHooks &hooks, const StopRequest &stop)
{
    return migrate(client, read, options, hooks, stop);
}
