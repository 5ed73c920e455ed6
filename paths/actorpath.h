#pragma once

#include "paths/readcontext.h"
#include "paths/resolvedpath.h"

// Resolves paths below a root folder of one client, looking them up through
// its seam. The root is the derived class's choice; the base roots
// everything at the characters folder.
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
    explicit CAbstractPath(const ReadContext &client)
        : m_files(&client.files)
        , m_client(client.client)
    {
    }
    CAbstractPath(const CAbstractPath &) = default;
    CAbstractPath &operator=(const CAbstractPath &) = default;
    ~CAbstractPath() = default; // never deleted through a base pointer

    const FileSystem &files() const { return *m_files; }
    QString client() const { return m_client; }

private:
    const FileSystem *m_files;
    QString m_client;
};

// Paths inside one character (actor) folder, by the folder's name.
class CActorPath : public CAbstractPath<CActorPath>
{
public:
    explicit CActorPath(const ReadContext &client, const QString &actorName = QString());

    CActorPath &setActorName(const QString &name);
    QString actorName() const { return m_actorName; }

    ResolvedPath rootPath() const override;
    QString rootText() const;

private:
    QString m_actorName;
};

extern template class CAbstractPath<CActorPath>;

ResolvedPath actorDataFilePath(const ReadContext &client, const QString &actorName);
ResolvedPath actorFilePath(const ReadContext &client, const QString &actorName, const QString &relative);
ResolvedPath actorImagePath(const ReadContext &client, const QString &actorName, const QString &relative);
