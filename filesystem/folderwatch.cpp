#include "filesystem/folderwatch.h"
#include "filesystem/parentfolder.h"

bool shareFolder(const FolderIds &a, const FolderIds &b)
{
    const FolderIds &fewer = a.size() < b.size() ? a : b;
    const FolderIds &more = a.size() < b.size() ? b : a;
    for (const FolderId &id : fewer) {
        if (more.count(id))
            return true;
    }
    return false;
}

ReadRecorder::ReadRecorder(const FileSystem &files)
    : m_files(files)
{
}

void ReadRecorder::note(const QString &path, const EntryStatus *last) const
{
    // A relative name depends on where the process stands: not worth telling.
    if (!path.startsWith(QLatin1Char('/'))) {
        m_passedLink = true;
        return;
    }
    // Every folder on the way to a name in a folder already seen was noted.
    const QString parent = parentFolder(path);
    if (m_parents.contains(parent)) {
        if (last && last->isLink)
            m_passedLink = true;
        return;
    }
    m_parents.insert(parent);
    QString folder = QStringLiteral("/");
    int end = 0;
    for (;;) {
        auto seen = m_seen.constFind(folder);
        if (seen == m_seen.constEnd())
            seen = m_seen.insert(folder, m_files.status(folder));
        const EntryStatus &here = seen.value();
        if (here.isLink) {
            m_passedLink = true;
            return;
        }
        // Nothing below a name that is missing, or no folder, was looked at.
        if (!here.isFolder())
            return;
        m_folders.insert({here.device, here.inode});
        end = path.indexOf(QLatin1Char('/'), end + 1);
        if (end < 0)
            break;
        folder = path.left(end);
    }
    if (last && last->isLink)
        m_passedLink = true;
}

EntryStatus ReadRecorder::status(const QString &path) const
{
    const EntryStatus found = m_files.status(path);
    note(path, &found);
    return found;
}

FolderListing ReadRecorder::list(const QString &folder) const
{
    note(folder + QLatin1Char('/'), nullptr);
    FolderListing listing = m_files.list(folder);
    if (listing.followedLinks)
        m_passedLink = true;
    return listing;
}

bool ReadRecorder::readFile(const QString &path, QByteArray *bytes, FileError *error) const
{
    status(path);
    return m_files.readFile(path, bytes, error);
}

FileComparison ReadRecorder::compare(const QString &source, const QString &target, ComparedSource *seen) const
{
    status(source);
    status(target);
    return m_files.compare(source, target, seen);
}

bool ReadRecorder::inspect(const QString &path, ComparedSource *seen, FileError *error) const
{
    status(path);
    return m_files.inspect(path, seen, error);
}

bool ReadRecorder::refuse(FileError *error)
{
    // Reading ahead that tried a change cannot stand for the walk's own reading.
    m_passedLink = true;
    *error = FileError(QStringLiteral("no change is made while reading ahead"));
    return false;
}

bool ReadRecorder::doMakeFolder(const QString &, FileError *error)
{
    return refuse(error);
}

bool ReadRecorder::doMove(const QString &, const QString &, FileError *error)
{
    return refuse(error);
}

bool ReadRecorder::doRemove(const QString &, const ComparedSource &, FileError *error)
{
    return refuse(error);
}

bool ReadRecorder::doWrite(const QString &, const QByteArray &, FileError *error)
{
    return refuse(error);
}

bool ReadRecorder::doRemoveFolder(const QString &, FileError *error)
{
    return refuse(error);
}

bool ReadRecorder::doCopy(
    const QString &, const QString &, const QByteArray &, const FileAttributes &, FileError *error)
{
    return refuse(error);
}

ChangedFolders::ChangedFolders(const FileSystem &files, ChangeObserver *next)
    : m_files(files)
    , m_next(next)
{
}

bool ChangedFolders::aboutToChange(const Change &change, FileError *why)
{
    return !m_next || m_next->aboutToChange(change, why);
}

void ChangedFolders::changed(const Change &change)
{
    note(change);
    if (m_next)
        m_next->changed(change);
}

void ChangedFolders::changeFailed(const Change &change)
{
    note(change);
    if (m_next)
        m_next->changeFailed(change);
}

void ChangedFolders::open()
{
    m_watches.emplace_back();
    // Each watch looks its folders up afresh at least once.
    m_known.clear();
}

FolderIds ChangedFolders::close()
{
    FolderIds folders = std::move(m_watches.front());
    m_watches.pop_front();
    return folders;
}

void ChangedFolders::note(const Change &change)
{
    if (change.kind == Change::Move || change.kind == Change::RemoveFolder) {
        const QString below = change.path + QLatin1Char('/');
        for (auto it = m_known.begin(); it != m_known.end();) {
            if (it.key() == change.path || it.key().startsWith(below))
                it = m_known.erase(it);
            else
                ++it;
        }
    }
    noteParentOf(change.path);
    if (change.kind == Change::Move)
        noteParentOf(change.other);
}

void ChangedFolders::noteParentOf(const QString &path)
{
    if (m_watches.empty())
        return;
    const QString parent = parentFolder(path);
    auto known = m_known.constFind(parent);
    if (known == m_known.constEnd()) {
        const EntryStatus folder = m_files.status(parent);
        if (!folder.isFolder())
            return;
        known = m_known.insert(parent, {folder.device, folder.inode});
    }
    for (FolderIds &watch : m_watches)
        watch.insert(known.value());
}
