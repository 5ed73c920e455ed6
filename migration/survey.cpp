#include "migration/survey.h"

#include "paths/filetree.h"
#include "paths/folders.h"

#include <QSet>

using namespace AsFileTree;

bool looksMigrated(const FileSystem &files, const QString &folderPath)
{
    const FileTree listing = buildFileTree(files, folderPath, Folders | Files);
    QSet<QString> descriptions;
    QStringList legacy;
    for (const FileTree &entry : listing.children) {
        const QString name = fileName(entry);
        if (name == QLatin1String("char_icon.png") || name == QLatin1String("emotions"))
            return false;
        // NAME.ini becomes NAME.toml: all but the last suffix is the name.
        const QString kind = suffix(entry);
        const QString stem = name.left(name.size() - kind.size() - 1);
        if (kind == QLatin1String("toml"))
            descriptions.insert(stem);
        else if (kind == QLatin1String("ini"))
            legacy.append(stem);
    }
    if (descriptions.isEmpty())
        return false;
    for (const QString &name : legacy) {
        if (!descriptions.contains(name))
            return false;
    }
    return true;
}

QVector<CharacterState> surveyCharacters(const FileSystem &files, const QString &client)
{
    QVector<CharacterState> states;
    for (const FileTree &character : buildFileTree(files, charactersFolderPath(client), Folders).children)
        states.append({fileName(character), looksMigrated(files, path(character))});
    return states;
}
