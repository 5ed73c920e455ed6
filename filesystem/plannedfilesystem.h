#pragma once

#include "filesystem/diskfilesystem.h"

#include <QHash>
#include <QSet>

#include <climits>

#include <memory>

// A dry run's file system: every change is laid over the real disk as a plan
// and nothing is ever written. Reads see the disk as the changes so far would
// have left it, so the walk and the conversion take the same decisions they
// would take for real. Entries are keyed by their folder's real path, so a
// folder reached through a link is the one folder it is on disk.
class PlannedFileSystem : public FileSystem
{
public:
    // The disk below the plan: the plain one, or a client's confined view.
    explicit PlannedFileSystem(std::unique_ptr<DiskFileSystem> disk = nullptr);
    ~PlannedFileSystem() override;

    bool reaches(const QString &path, FileError *why) const override;
    bool mayChangeIn(const QString &folder, FileError *why) const override;
    EntryStatus status(const QString &path) const override;
    FolderListing list(const QString &folder) const override;
    bool readFile(const QString &path, QByteArray *bytes, FileError *error) const override;
    FileComparison compare(const QString &source, const QString &target, ComparedSource *seen) const override;
    bool inspect(const QString &path, ComparedSource *seen, FileError *error) const override;
    void doneWith(const QString &folder) override;

protected:
    bool doMakeFolder(const QString &path, FileError *error) override;
    bool doMove(const QString &from, const QString &to, FileError *error) override;
    bool doRemove(const QString &path, const ComparedSource &seen, FileError *error) override;
    bool doWrite(const QString &path, const QByteArray &bytes, FileError *error) override;
    bool doRemoveFolder(const QString &path, FileError *error) override;
    bool doCopy(const QString &from, const QString &to, const QByteArray &sha3,
        const FileAttributes &attributes, FileError *error) override;

private:
    // What the plan put at a name.
    struct Node
    {
        enum State { Gone, Real, Document, Folder };
        State state = Gone;
        QString real; // Real: the entry on disk now planned to stand here
        QByteArray bytes; // Document
    };
    // Where a name leads under the plan: a node of the plan, a real path, or nothing.
    struct Location
    {
        const Node *node = nullptr; // a Document or Folder of the plan
        QString real; // else the path on disk; empty: nothing there
    };

    QString key(const QString &path) const;
    QString realFolderOf(const QString &folder) const;
    Location locate(const QString &key) const;
    EntryStatus statusAt(const QString &key) const;
    // The key a name leads to once every link on the way is followed
    // through the plan; empty for a loop.
    QString resolved(const QString &key, int depth = 0) const;
    void put(const QString &key, const Node &node);
    quint64 deviceOf(const QString &key) const;
    // What the disk says of a real path: the entry itself, and what it leads to.
    struct Seen
    {
        EntryStatus entry;
        EntryStatus status;
    };
    const Seen &seen(const QString &real) const;
    EntryStatus diskStatus(const QString &real) const;
    EntryStatus diskEntry(const QString &real) const;
    // What the plan holds below a folder, packed into one compressed block
    // while nothing asks for it, and unpacked when something does.
    void pack(const QString &folderKey);
    void unpack(const QString &folderKey) const;

    std::unique_ptr<DiskFileSystem> m_disk;
    // Unpacking a folder the walk left changes no answer, so even a reading
    // may do it.
    mutable QHash<QString, Node> m_nodes;
    mutable QHash<QString, QSet<QString>> m_added; // folder key -> names the plan put there
    mutable QHash<QString, QByteArray> m_packed; // folder key -> its packed plan
    // Folder -> its real path on disk.
    mutable QHash<QString, QString> m_realFolders;
    int m_shortest = INT_MAX; // the length of the plan's shortest key, packed or not
    mutable QHash<QString, Seen> m_seen; // real path -> what the disk said of it
};
