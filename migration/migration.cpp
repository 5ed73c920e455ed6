#include "migration/migration.h"

#include "filesystem/clientfilesystem.h"
#include "filesystem/diskfilesystem.h"
#include "filesystem/filesystemscope.h"
#include "filesystem/plannedfilesystem.h"
#include "journal/journal.h"
#include "log/loglevel.h"
#include "paths/filetree.h"
#include "paths/folders.h"

#include <QDir>

#include <algorithm>
#include <memory>

RunSeam::RunSeam(const QString &client, const RunOptions &options, Reach reach)
    : m_client(client)
    , m_options(options)
    , m_root(std::make_unique<ClientRoot>())
    , m_recorder(client, options.lines, reach == Reach::Client ? ShownFrom::Client : ShownFrom::Character)
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
    // Machine output gives each warning and error line its record.
    if (options.lines == ChangeLines::Json)
        m_lineRecords = std::make_unique<LineRecords>(client);
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
    // An undo may have handed on lines already, with their error lines counted.
    report.errors += int(std::count_if(report.log.cbegin(), report.log.cend(), isErrorLine));
    if (m_journal)
        m_journal->finish(report.outcome.stopped, report.errors, left);
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
    if (!seam.open(report) || (found && !seam.keepJournal(QString(), report)))
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
