#pragma once

#include "filesystem/filesystem.h"

#include <QHash>
#include <QSet>

#include <deque>
#include <set>
#include <utility>

// A folder by its identity on disk (device, inode), whatever path led to it.
using FolderId = std::pair<quint64, quint64>;
using FolderIds = std::set<FolderId>;

bool shareFolder(const FolderIds &a, const FolderIds &b);

// Reads through another seam and notes every folder whose entries a read
// depended on: each folder on the way to a name, from the root down. A read
// that passed a link depended on folders it cannot name, so it is noted as
// such. Changes are refused: what reads here reads ahead of the changes.
class ReadRecorder : public FileSystem
{
public:
    explicit ReadRecorder(const FileSystem &files);

    EntryStatus status(const QString &path) const override;
    FolderListing list(const QString &folder) const override;
    bool readFile(const QString &path, QByteArray *bytes, FileError *error) const override;
    FileComparison compare(const QString &source, const QString &target, ComparedSource *seen) const override;
    bool inspect(const QString &path, ComparedSource *seen, FileError *error) const override;

    const FolderIds &folders() const { return m_folders; }
    bool passedLink() const { return m_passedLink; }

protected:
    bool doMakeFolder(const QString &path, FileError *error) override;
    bool doMove(const QString &from, const QString &to, FileError *error) override;
    bool doRemove(const QString &path, const ComparedSource &seen, FileError *error) override;
    bool doWrite(const QString &path, const QByteArray &bytes, FileError *error) override;
    bool doRemoveFolder(const QString &path, FileError *error) override;
    bool doCopy(const QString &from, const QString &to, const QByteArray &sha3,
        const FileAttributes &attributes, FileError *error) override;

private:
    // Notes the folders a look-up of `path` went through, and `last` (the
    // name's own status) when the name itself was looked at.
    void note(const QString &path, const EntryStatus *last) const;
    bool refuse(FileError *error);

    const FileSystem &m_files;
    mutable QHash<QString, EntryStatus> m_seen;
    mutable QSet<QString> m_parents;
    mutable FolderIds m_folders;
    mutable bool m_passedLink = false;
};

// Passes every change on to the observer it stands in front of, and notes
// the folders whose entries a change touched (a failed change may have left
// something behind too), for each watch opened and not yet closed.
class ChangedFolders : public ChangeObserver
{
public:
    ChangedFolders(const FileSystem &files, ChangeObserver *next);

    bool aboutToChange(const Change &change, FileError *why) override;
    void changed(const Change &change) override;
    void changeFailed(const Change &change) override;

    // Starts a watch; the watches close in the order they were opened.
    void open();
    // The folders changed since the oldest open watch began.
    FolderIds close();

private:
    void note(const Change &change);
    void noteParentOf(const QString &path);

    const FileSystem &m_files;
    ChangeObserver *m_next;
    std::deque<FolderIds> m_watches;
    // The folders behind paths already looked up, until a move or removal
    // at or above a path may have put another folder there.
    QHash<QString, FolderId> m_known;
};
