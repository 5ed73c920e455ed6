#pragma once

#include "filesystem/change.h"
#include "filesystem/entrystatus.h"
#include "filesystem/filecomparison.h"
#include "filesystem/fileerror.h"
#include "filesystem/folderlisting.h"

#include <QByteArray>
#include <QString>

class ClientRoot;

// The one seam through which the migration reads and changes the client. The
// disk behind it is the real one for a run, or a plan laid over it for a dry
// run; every change goes through the methods below, so the one place that
// records changes (journal, preview, summary) is the observer set here.
// Nothing throws; a failure returns false with a reason.
class FileSystem
{
public:
    virtual ~FileSystem() = default;

    virtual EntryStatus status(const QString &path) const = 0;
    virtual FolderListing list(const QString &folder) const = 0;
    // A regular file's whole contents; anything else is refused unopened.
    virtual bool readFile(const QString &path, QByteArray *bytes, FileError *error) const = 0;
    // Byte for byte. Only regular files are opened.
    virtual FileComparison compare(
        const QString &source, const QString &target, ComparedSource *seen) const = 0;
    // What a regular file is and holds, for a removal that must know it.
    virtual bool inspect(const QString &path, ComparedSource *seen, FileError *error) const = 0;

    bool makeFolder(const QString &path, FileError *error);
    // Creates the folder and every missing parent, one change each.
    bool makePath(const QString &path, FileError *error);
    // Renames without ever replacing; across file systems a file is copied,
    // its copy proved equal, and only then is the source removed.
    bool move(const QString &from, const QString &to, FileError *error);
    // Removes `path` only while it is still exactly what was compared.
    bool removeCompared(
        const QString &path, const QString &twin, const ComparedSource &seen, FileError *error);
    // Writes a whole document atomically (a temporary file renamed into
    // place); an existing regular file is replaced, a link never followed.
    bool writeDocument(const QString &path, const QByteArray &bytes, FileError *error);
    // The same, for bytes whose digest is known already.
    bool writeDocument(
        const QString &path, const QByteArray &bytes, const QByteArray &sha3, FileError *error);
    bool removeEmptyFolder(const QString &path, FileError *error);
    // Copies a regular file to a free name, only when its bytes have the
    // digest expected of them; the copy gets `attributes` where they are known.
    bool copyFile(const QString &from, const QString &to, const QByteArray &sha3,
        const FileAttributes &attributes, FileError *error);

    // Whether the entries of `folder` may be changed: it is a folder (links
    // followed) that the user may write and enter. A seam that changes
    // nothing allows everything.
    virtual bool mayChangeIn(const QString &folder, FileError *why) const;

    // Whether `path` can be reached without leaving the client (a link at the
    // end not followed); a seam that is not confined reaches everything.
    virtual bool reaches(const QString &path, FileError *why) const;
    // The client whose changes this seam makes, for the rules that ask
    // whether an undo could take a change back; none for a bare seam.
    void setClient(const ClientRoot *client) { m_client = client; }
    const ClientRoot *client() const { return m_client; }

    void setObserver(ChangeObserver *observer) { m_observer = observer; }
    ChangeObserver *observer() const { return m_observer; }

    // Removes what a killed run left beside `path`: regular files with the
    // exact form of a temporary name, and nothing else (a plan has none).
    virtual void removeLeftovers(const QString &) { }

    // The walk is done with `folder` and will not come back to it; a plan
    // may pack away what it holds of it (asking again still finds it).
    virtual void doneWith(const QString &folder) { Q_UNUSED(folder) }

    // Makes every change so far durable (a dry run has nothing to sync).
    virtual void sync(const QString &) { }
    // Whether another thread may read through this seam while changes are
    // made through it.
    virtual bool readsAlongsideChanges() const { return false; }

protected:
    virtual bool doMakeFolder(const QString &path, FileError *error) = 0;
    virtual bool doMove(const QString &from, const QString &to, FileError *error) = 0;
    virtual bool doRemove(const QString &path, const ComparedSource &seen, FileError *error) = 0;
    virtual bool doWrite(const QString &path, const QByteArray &bytes, FileError *error) = 0;
    virtual bool doRemoveFolder(const QString &path, FileError *error) = 0;
    virtual bool doCopy(const QString &from, const QString &to, const QByteArray &sha3,
        const FileAttributes &attributes, FileError *error)
        = 0;

private:
    template<typename Operation> bool apply(const Change &change, FileError *error, Operation operation);

    ChangeObserver *m_observer = nullptr;
    const ClientRoot *m_client = nullptr;
};
