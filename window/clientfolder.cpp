#include "window/clientfolder.h"

#include "filesystem/diskfilesystem.h"
#include "paths/filetree.h"
#include "paths/folders.h"

#include <QCoreApplication>
#include <QFileDialog>

bool holdsCharacterFolders(const QString &client)
{
    return characterFolderCount(client) > 0;
}

int characterFolderCount(const QString &client)
{
    using namespace AsFileTree;
    return buildFileTree(DiskFileSystem(), charactersFolderPath(client), Folders).children.size();
}

QString chooseFolder(const QString &start)
{
    return QFileDialog::getExistingDirectory(nullptr,
        QCoreApplication::translate("ClientFolder", "Choose the client folder, the one that holds base"),
        start);
}
