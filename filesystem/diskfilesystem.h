#pragma once

#include "filesystem/filesystem.h"
#include "filesystem/posixfile.h"

#include <QSet>

// The real disk, through bare POSIX calls: no link is followed where a name
// itself is meant, no file but a regular one is ever opened for reading, and
// no rename ever replaces what stands at its target.
class DiskFileSystem : public FileSystem
{
public:
    EntryStatus status(const QString &path) const override;
    FolderListing list(const QString &folder) const override;
    bool readFile(const QString &path, QByteArray *bytes, FileError *error) const override;
    FileComparison compare(const QString &source, const QString &target, ComparedSource *seen) const override;
    bool inspect(const QString &path, ComparedSource *seen, FileError *error) const override;
    void sync(const QString &path) override;
    // Once per folder and seam.
    void removeLeftovers(const QString &path) override;
    bool readsAlongsideChanges() const override { return true; }
    bool mayChangeIn(const QString &folder, FileError *why) const override;

    // Every name of a folder but the hidden ones, whatever it names. Plain
    // files and folders are its entries; the names whose kind the folder
    // does not tell plainly (links, special files, a file system that tells
    // no kinds) go to `untold`.
    FolderListing listNames(const QString &folder, QStringList *untold) const;
    // What stands at a name, a link not followed.
    EntryStatus entryItself(const QString &path) const;

protected:
    // Where a path's entry stands, for the calls below: the plain disk takes
    // the path as it is. With `followLast`, a link at the end is followed.
    // `folder` keeps open whatever descriptor the place needs.
    virtual bool place(const QString &path, bool followLast, PosixFile::Descriptor &folder, PosixFile::At *at,
        FileError *error) const;
    // What a link leads to, followed as this seam follows links.
    EntryStatus linkTarget(const QString &path) const;

    bool doMakeFolder(const QString &path, FileError *error) override;
    bool doMove(const QString &from, const QString &to, FileError *error) override;
    bool doRemove(const QString &path, const ComparedSource &seen, FileError *error) override;
    bool doWrite(const QString &path, const QByteArray &bytes, FileError *error) override;
    bool doRemoveFolder(const QString &path, FileError *error) override;
    bool doCopy(const QString &from, const QString &to, const QByteArray &sha3,
        const PosixFile::Attributes &attributes, FileError *error) override;

private:
    FolderListing readFolder(const QString &folder, QStringList *untold) const;
    void sweep(const QString &path) { removeLeftovers(path); }

    QSet<QString> m_swept;
    mutable QSet<QString>
        m_writable; // folders found writable: permissions are not expected to change mid-run
};
