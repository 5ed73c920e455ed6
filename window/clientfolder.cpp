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

QString chooseFolder(const QString &start, const QString &selected)
{
    // What QFileDialog::getExistingDirectory() shows, but able to select a
    // folder in the one it starts in, instead of opening that folder.
    QFileDialog dialog(nullptr,
        QCoreApplication::translate("ClientFolder", "Choose the client folder, the one that holds base"),
        start);
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly);
    if (!selected.isEmpty())
        dialog.selectFile(selected);
    if (dialog.exec() != QDialog::Accepted)
        return QString();
    return dialog.selectedFiles().value(0);
}
