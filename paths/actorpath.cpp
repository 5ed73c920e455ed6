#include "paths/actorpath.h"

#include "paths/folders.h"
#include "paths/medialookup.h"

template<typename T> QString CAbstractPath<T>::rootText() const
{
    return charactersFolderPath(client());
}

template<typename T> ResolvedPath CAbstractPath<T>::rootPath() const
{
    return resolvePath(files(), static_cast<const T *>(this)->rootText());
}

// The root's text is all a path below it needs: the root itself is not
// looked up on disk again.
template<typename T> ResolvedPath CAbstractPath<T>::filePath(const QString &relative) const
{
    return joinPath(files(), {static_cast<const T *>(this)->rootText(), relative});
}

template<typename T> ResolvedPath CAbstractPath<T>::soundPath(const QString &relative) const
{
    return findSoundFile(
        files(), PathBuilder().append(static_cast<const T *>(this)->rootText()).append(relative));
}

template<typename T> ResolvedPath CAbstractPath<T>::imagePath(const QString &relative) const
{
    return findImageFile(
        files(), PathBuilder().append(static_cast<const T *>(this)->rootText()).append(relative));
}

template class CAbstractPath<CActorPath>;

CActorPath::CActorPath(const ReadContext &client, const QString &actorName)
    : CAbstractPath(client)
    , m_actorName(actorName)
{
}

CActorPath &CActorPath::setActorName(const QString &name)
{
    m_actorName = name;
    return *this;
}

ResolvedPath CActorPath::rootPath() const
{
    return resolvePath(files(), rootText());
}

QString CActorPath::rootText() const
{
    const QString characters = charactersFolderPath(client());
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

ResolvedPath actorDataFilePath(const ReadContext &client, const QString &actorName)
{
    return CActorPath(client, actorName).filePath(FolderNames::actorDataFile);
}

ResolvedPath actorFilePath(const ReadContext &client, const QString &actorName, const QString &relative)
{
    return CActorPath(client, actorName).filePath(relative);
}

ResolvedPath actorImagePath(const ReadContext &client, const QString &actorName, const QString &relative)
{
    return CActorPath(client, actorName).imagePath(relative);
}
