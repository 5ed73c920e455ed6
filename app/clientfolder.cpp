#include "app/clientfolder.h"

#include "paths/filetree.h"
#include "paths/folders.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>

bool holdsCharacterFolders()
{
    using namespace AsFileTree;
    return !buildFileTree(charactersFolderPath(), Folders).children.isEmpty();
}

bool chooseClientFolder()
{
    const QString folder = QFileDialog::getExistingDirectory(nullptr,
        QCoreApplication::translate("ClientFolder", "Choose the client folder, the one that holds base"),
        QDir::currentPath());
    return !folder.isEmpty() && QDir::setCurrent(folder);
}
