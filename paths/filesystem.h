#pragma once

#include "paths/change.h"
#include "paths/fileerror.h"

#include <QByteArray>
#include <QString>
#include <QVector>

class ClientRoot;

// What stands at a name. A dangling link exists (it occupies its name) but
// leads to nothing.
struct EntryStatus
{
    enum Type { Missing, File, Folder, Other };

    bool exists = false;
    bool isLink = false;
    Type type = Missing; // what the name leads to, links followed
    qint64 size = 0;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 modified = 0; // nanoseconds
    quint32 mode = 0; // permission bits
    qint64 owner = -1;
    qint64 group = -1;

    bool isFile() const { return type == File; }
    bool isFolder() const { return type == Folder; }
};

// Two statuses name the same entry, unchanged: same file, size and time.
bool sameEntry(const EntryStatus &a, const EntryStatus &b);

struct FolderEntry
{
    QString name;
    bool isFolder = false;
};

// One level of a folder: files and folders only (links followed), no hidden
// entries, no dangling links or special files, in no particular order.
// Names that are not valid in the file-name encoding are not entries: their
// bytes are kept apart so the caller can name them.
struct FolderListing
{
    QVector<FolderEntry> entries;
    QVector<QByteArray> undecodable;
    FileError error; // why the folder could not be read; empty when it could
    bool followedLinks = false; // an entry was told by following it (a link)
};

enum class FileComparison {
    Identical,
    Different,
    Unreadable, // one side is no regular file, or could not be read to its end
};

// What a comparison saw of its source, so that only what was compared is
// ever deleted as a duplicate.
struct ComparedSource
{
    EntryStatus entry; // the name itself (a link is not followed)
    EntryStatus content; // what it leads to
    QByteArray sha3;
    FileError problem; // Unreadable: the system's reason, where it gave one
};

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

// The seam in force: the real disk unless a run installed another.
FileSystem &fileSystem();

// Puts `system` in force for its lifetime, for this thread only, over any
// seam in force for every thread.
class ThreadFileSystemScope
{
public:
    explicit ThreadFileSystemScope(FileSystem &system);
    ~ThreadFileSystemScope();
    ThreadFileSystemScope(const ThreadFileSystemScope &) = delete;
    ThreadFileSystemScope &operator=(const ThreadFileSystemScope &) = delete;

private:
    FileSystem *m_previous;
};

// Puts `system` in force for its lifetime, for every thread.
class FileSystemScope
{
public:
    explicit FileSystemScope(FileSystem &system);
    ~FileSystemScope();
    FileSystemScope(const FileSystemScope &) = delete;
    FileSystemScope &operator=(const FileSystemScope &) = delete;

private:
    FileSystem *m_previous;
};

// The folder that holds the entry an absolute path names: the text before
// its last slash, "/" for an entry of the root.
QString parentFolder(const QString &path);

// SHA3-256 of bytes.
QByteArray sha3(const QByteArray &bytes);
