#include "window/clientfolder.h"

#include "paths/filetree.h"
#include "paths/folders.h"

#include <QCoreApplication>
#include <QFileDialog>

bool holdsCharacterFolders()
{
    return characterFolderCount() > 0;
}

int characterFolderCount()
{
    using namespace AsFileTree;
    return buildFileTree(charactersFolderPath(), Folders).children.size();
}

QString chooseFolder(const QString &start)
{
    return QFileDialog::getExistingDirectory(nullptr,
        QCoreApplication::translate("ClientFolder", "Choose the client folder, the one that holds base"),
        start);
}
