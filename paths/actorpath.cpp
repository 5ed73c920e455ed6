#include "paths/actorpath.h"

#include "paths/folders.h"
#include "paths/medialookup.h"

template<typename T> ResolvedPath CAbstractPath<T>::rootPath() const
{
    return joinPath({charactersFolderPath()});
}

template<typename T> ResolvedPath CAbstractPath<T>::filePath(const QString &relative) const
{
    return joinPath({rootPath().path, relative});
}

template<typename T> ResolvedPath CAbstractPath<T>::soundPath(const QString &relative) const
{
    return findSoundFile(PathBuilder().append(rootPath().path).append(relative));
}

template<typename T> ResolvedPath CAbstractPath<T>::imagePath(const QString &relative) const
{
    return findImageFile(PathBuilder().append(rootPath().path).append(relative));
}

template class CAbstractPath<CActorPath>;

CActorPath::CActorPath(const QString &actorName)
    : m_actorName(actorName)
{
}

CActorPath &CActorPath::setActorName(const QString &name)
{
    m_actorName = name;
    return *this;
}

ResolvedPath CActorPath::rootPath() const
{
    QStringList parts{charactersFolderPath()};
    if (!m_actorName.isEmpty())
        parts.append(m_actorName);
    return joinPath(parts);
}

namespace {

CActorPath &sharedActorPath()
{
    static CActorPath instance;
    return instance;
}

} // namespace

ResolvedPath actorDataFilePath(const QString &actorName)
{
    return sharedActorPath().setActorName(actorName).filePath(FolderNames::actorDataFile);
}

ResolvedPath actorFilePath(const QString &actorName, const QString &relative)
{
    return sharedActorPath().setActorName(actorName).filePath(relative);
}

ResolvedPath actorImagePath(const QString &actorName, const QString &relative)
{
    return sharedActorPath().setActorName(actorName).imagePath(relative);
}
