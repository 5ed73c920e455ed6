#include "paths/folders.h"

#include <QDir>

ResolvedPath currentFolder()
{
    return joinPath({QDir::currentPath()});
}

ResolvedPath baseFolder()
{
    return joinPath({currentFolder().path, FolderNames::base});
}

ResolvedPath charactersFolder()
{
    return joinPath({baseFolder().path, FolderNames::characters});
}

QString charactersFolderPath()
{
    return joinPathText({QDir::currentPath(), FolderNames::base, FolderNames::characters});
}
