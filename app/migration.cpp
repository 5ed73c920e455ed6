#include "app/migration.h"

#include "app/journal.h"
#include "paths/diskfilesystem.h"
#include "paths/filetree.h"
#include "paths/folders.h"
#include "paths/plannedfilesystem.h"

#include <QDir>

#include <memory>

RunReport runMigration(const LegacyConverter &convert, const WalkHooks &hooks, const RunOptions &options)
{
    RunReport report;
    const QString client = QDir::currentPath();
    std::unique_ptr<FileSystem> files;
    std::unique_ptr<Journal> journal;
    if (options.dryRun) {
        files = std::make_unique<PlannedFileSystem>();
    } else {
        files = std::make_unique<DiskFileSystem>();
        // Where there is no character folder there is no client to keep a journal in.
        if (!AsFileTree::buildFileTree(charactersFolderPath(), AsFileTree::Folders).children.isEmpty()) {
            journal = Journal::create(client, options.version, QString(), &report.failure);
            if (!journal) {
                report.failure = QStringLiteral("cannot keep a journal in %1: %2")
                                     .arg(journalFolder(client), report.failure);
                return report;
            }
            report.journal = journal->path();
        }
    }
    RunRecorder recorder(client, options.lines, journal.get());
    files->setObserver(&recorder);
    {
        const FileSystemScope scope(*files);
        report.log = restructureCharacterFolders(convert, hooks, &report.outcome);
    }
    files->sync(client);
    report.counts = recorder.counts();
    return report;
}
