// The journal's cost: the same migration over a client, once through the run
// the programs make (journal, counts) and once straight through the disk seam
// with nothing recorded. Prints nothing; bench/journal-cost.sh times it.
//
//   veltra-journalcost journal|bare CLIENT

#include "convert/convertlegacyfiles.h"
#include "filesystem/diskfilesystem.h"
#include "migration/migration.h"

#include <QCoreApplication>
#include <QDir>

#include <cstdio>
#include <cstring>

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    if (argc != 3) {
        std::fputs("usage: veltra-journalcost journal|bare CLIENT\n", stderr);
        return 2;
    }
    const QString client = QDir(QString::fromLocal8Bit(argv[2])).absolutePath();
    if (std::strcmp(argv[1], "journal") == 0) {
        RunOptions options;
        options.version = QStringLiteral("bench");
        return runMigration(client, prepareLegacyFiles, options).failure.isEmpty() ? 0 : 1;
    }
    DiskFileSystem disk;
    Report report(client);
    RunContext run{client, disk, report, {}, {}};
    restructureCharacterFolders(run, prepareLegacyFiles);
    disk.sync(client);
    return 0;
}
