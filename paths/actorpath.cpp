#include "paths/actorpath.h"

#include "paths/folders.h"
#include "paths/medialookup.h"

template<typename T> QString CAbstractPath<T>::rootText() const
{
    return charactersFolderPath();
}

template<typename T> ResolvedPath CAbstractPath<T>::rootPath() const
{
    return resolvePath(static_cast<const T *>(this)->rootText());
}

// The root's text is all a path below it needs: the root itself is not
// looked up on disk again.
template<typename T> ResolvedPath CAbstractPath<T>::filePath(const QString &relative) const
{
    return joinPath({static_cast<const T *>(this)->rootText(), relative});
}

template<typename T> ResolvedPath CAbstractPath<T>::soundPath(const QString &relative) const
{
    return findSoundFile(PathBuilder().append(static_cast<const T *>(this)->rootText()).append(relative));
}

template<typename T> ResolvedPath CAbstractPath<T>::imagePath(const QString &relative) const
{
    return findImageFile(PathBuilder().append(static_cast<const T *>(this)->rootText()).append(relative));
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
    return resolvePath(rootText());
}

QString CActorPath::rootText() const
{
    const QString characters = charactersFolderPath();
    if (m_actorName.isEmpty())
        return characters;
    // A folder name found on disk is used as found ("Edgeworth..." is not
    // "Edgeworth"); only a name that could climb out is joined by the rule.
    const bool foundName = !m_actorName.contains(QLatin1Char('/')) && m_actorName != QLatin1String(".")
        && m_actorName != QLatin1String("..");
    if (foundName)
        return joinPathText({characters + QLatin1Char('/') + m_actorName});
    return joinPathText({characters, m_actorName});
}

namespace {

// One per thread: the walk may read a folder ahead on another thread.
CActorPath &sharedActorPath()
{
    thread_local CActorPath instance;
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
