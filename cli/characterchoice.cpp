#include "cli/characterchoice.h"

#include "cli/nearestnames.h"
#include "filesystem/diskfilesystem.h"
#include "paths/filetree.h"
#include "paths/folders.h"

QString unknownCharacter(const QString &client, const QStringList &asked)
{
    // Listed as the walk lists them, so a name found here is one the walk takes.
    QStringList listed;
    DiskFileSystem disk;
    for (const AsFileTree::FileTree &character :
        AsFileTree::buildFileTree(disk, charactersFolderPath(client), AsFileTree::Folders).children)
        listed.append(AsFileTree::fileName(character));
    for (const QString &name : asked) {
        if (listed.contains(name))
            continue;
        const QStringList nearest = nearestNames(name, listed);
        return QStringLiteral("unknown character '%1'; %2")
            .arg(name,
                nearest.isEmpty() ? QStringLiteral("base/characters holds no name near it")
                                  : QStringLiteral("the nearest: ") + nearest.join(QStringLiteral(", ")));
    }
    return QString();
}
