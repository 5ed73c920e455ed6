#pragma once

#include "paths/resolvedpath.h"

// Resolves paths below a root folder. The root is the derived class's choice;
// the base roots everything at the characters folder.
template<typename T> class CAbstractPath
{
public:
    virtual ResolvedPath rootPath() const;
    virtual ResolvedPath filePath(const QString &relative) const;
    virtual ResolvedPath soundPath(const QString &relative) const;
    virtual ResolvedPath imagePath(const QString &relative) const;

    // The root's path text, without looking it up.
    QString rootText() const;

protected:
    CAbstractPath() = default;
    CAbstractPath(const CAbstractPath &) = default;
    CAbstractPath &operator=(const CAbstractPath &) = default;
    ~CAbstractPath() = default; // never deleted through a base pointer
};

// Paths inside one character (actor) folder, by the folder's name.
class CActorPath : public CAbstractPath<CActorPath>
{
public:
    explicit CActorPath(const QString &actorName = QString());

    CActorPath &setActorName(const QString &name);
    QString actorName() const { return m_actorName; }

    ResolvedPath rootPath() const override;
    QString rootText() const;

private:
    QString m_actorName;
};

extern template class CAbstractPath<CActorPath>;

// Each of these first names the actor, so earlier calls leave no trace.
ResolvedPath actorDataFilePath(const QString &actorName);
ResolvedPath actorFilePath(const QString &actorName, const QString &relative);
ResolvedPath actorImagePath(const QString &actorName, const QString &relative);
