#include "app/migration.h"

#include "app/journal.h"
#include "paths/diskfilesystem.h"
#include "paths/filetree.h"
#include "paths/folders.h"
#include "paths/plannedfilesystem.h"

#include <QDir>

#include <memory>

RunSeam::RunSeam(const QString &client, const RunOptions &options)
    : m_client(client)
    , m_options(options)
    , m_recorder(client, options.lines)
{
    if (options.dryRun)
        m_files = std::make_unique<PlannedFileSystem>();
    else
        m_files = std::make_unique<DiskFileSystem>();
    m_files->setObserver(&m_recorder);
}

RunSeam::~RunSeam() = default;

bool RunSeam::keepJournal(const QString &undoOf, RunReport &report)
{
    if (m_options.dryRun)
        return true;
    m_journal = Journal::create(m_client, m_options.version, undoOf, &report.failure);
    if (!m_journal) {
        report.failure
            = QStringLiteral("cannot keep a journal in %1: %2").arg(journalFolder(m_client), report.failure);
        return false;
    }
    report.journal = m_journal->path();
    m_recorder.setJournal(m_journal.get());
    return true;
}

void RunSeam::finish(RunReport &report)
{
    m_files->sync(m_client);
    report.counts = m_recorder.counts();
}

namespace {

template<typename Converter>
RunReport migrate(const Converter &convert, const WalkHooks &hooks, const RunOptions &options)
{
    RunReport report;
    const QString client = QDir::currentPath();
    RunSeam seam(client, options);
    // Where there is no character folder there is no client to keep a journal in.
    const bool found
        = !AsFileTree::buildFileTree(charactersFolderPath(), AsFileTree::Folders).children.isEmpty();
    if (found && !seam.keepJournal(QString(), report))
        return report;
    {
        const FileSystemScope scope(seam.files());
        report.log = restructureCharacterFolders(convert, hooks, &report.outcome);
    }
    seam.finish(report);
    return report;
}

} // namespace

RunReport runMigration(const LegacyConverter &convert, const WalkHooks &hooks, const RunOptions &options)
{
    return migrate(convert, hooks, options);
}

RunReport runMigration(const ConversionReader &read, const WalkHooks &hooks, const RunOptions &options)
{
    return migrate(read, hooks, options);
}
