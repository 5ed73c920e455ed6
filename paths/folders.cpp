#include "paths/folders.h"

#include "paths/resolvedpath.h"

QString baseFolderPath(const QString &client)
{
    return joinPathText({client, FolderNames::base});
}

QString charactersFolderPath(const QString &client)
{
    return joinPathText({client, FolderNames::base, FolderNames::characters});
}
