#include "filesystem/plannedfilesystem.h"

#include "filesystem/changerules.h"

#include "filesystem/digest.h"
#include "filesystem/parentfolder.h"
#include "filesystem/posixfile.h"

#include <QFile>

#include <algorithm>
#include <cerrno>
#include <climits>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using PosixFile::systemError;

} // namespace

PlannedFileSystem::PlannedFileSystem(std::unique_ptr<DiskFileSystem> disk)
    : m_disk(disk ? std::move(disk) : std::make_unique<DiskFileSystem>())
{
}

PlannedFileSystem::~PlannedFileSystem() = default;

bool PlannedFileSystem::reaches(const QString &path, FileError *why) const
{
    return m_disk->reaches(path, why);
}

EntryStatus PlannedFileSystem::statusAt(const QString &key) const
{
    const Location where = locate(key);
    if (where.node) {
        EntryStatus status;
        status.exists = true;
        status.type = where.node->state == Node::Folder ? EntryStatus::Folder : EntryStatus::File;
        status.size = where.node->bytes.size();
        return status;
    }
    if (where.real.isEmpty())
        return {};
    const EntryStatus own = diskStatus(where.real);
    if (!own.isLink)
        return own;
    // A link leads where the plan has put things, not where the disk has them.
    const QString target = resolved(key);
    EntryStatus status = target.isEmpty() ? EntryStatus() : statusAt(target);
    status.exists = true;
    status.isLink = true;
    return status;
}

// Nothing on disk changes during a dry run, so what the disk said of an entry
// stays true: asked once, remembered. What the walk is done with is
// forgotten again, and a seam that is never told so forgets everything once
// it remembers too much.
const PlannedFileSystem::Seen &PlannedFileSystem::seen(const QString &real) const
{
    auto known = m_seen.find(real);
    if (known == m_seen.end()) {
        if (m_seen.size() >= 16384)
            m_seen.clear();
        Seen entry;
        entry.entry = m_disk->entryItself(real);
        entry.status = entry.entry.isLink ? m_disk->status(real) : entry.entry;
        known = m_seen.insert(real, entry);
    }
    return known.value();
}

EntryStatus PlannedFileSystem::diskStatus(const QString &real) const
{
    return seen(real).status;
}

EntryStatus PlannedFileSystem::diskEntry(const QString &real) const
{
    return seen(real).entry;
}

QString PlannedFileSystem::resolved(const QString &key, int depth) const
{
    const Location where = locate(key);
    if (where.node || where.real.isEmpty())
        return key;
    if (!diskEntry(where.real).isLink)
        return key;
    if (depth > 40)
        return QString(); // a loop of links leads nowhere
    const QByteArray real = PosixFile::native(where.real);
    QByteArray target(PATH_MAX, Qt::Uninitialized);
    const ssize_t length = ::readlink(real.constData(), target.data(), size_t(target.size()));
    if (length < 0)
        return QString();
    target.truncate(int(length));
    const QString text = QFile::decodeName(target);
    return resolved(
        this->key(text.startsWith(QLatin1Char('/')) ? text : parentFolder(key) + QLatin1Char('/') + text),
        depth + 1);
}

EntryStatus PlannedFileSystem::status(const QString &path) const
{
    return statusAt(key(path));
}

FolderListing PlannedFileSystem::list(const QString &folder) const
{
    FolderListing listing;
    if (folder.isEmpty())
        return listing;
    const QString at = key(folder);
    const QString resolvedFolder = resolved(at);
    const Location where = locate(resolvedFolder);
    QStringList names;
    if (!where.real.isEmpty()) {
        // A plain file or folder the plan has not touched is what the disk
        // says it is; only links and the plan's own names need a closer look.
        const FolderListing found = m_disk->listNames(where.real, &names);
        listing.undecodable = found.undecodable;
        listing.error = found.error;
        const auto untouched = [this, &resolvedFolder](const QString &name) {
            return !m_nodes.contains(resolvedFolder + QLatin1Char('/') + name);
        };
        for (const FolderEntry &entry : found.entries) {
            if (untouched(entry.name))
                listing.entries.append(entry);
        }
        names.erase(
            std::remove_if(names.begin(), names.end(), [&](const QString &name) { return !untouched(name); }),
            names.end());
    } else if (!where.node || where.node->state != Node::Folder) {
        return listing;
    }
    names += m_added.value(resolvedFolder).values();
    for (const QString &name : qAsConst(names)) {
        // Only files and folders, links followed through the plan.
        const EntryStatus status = statusAt(resolvedFolder + QLatin1Char('/') + name);
        if (status.isFile() || status.isFolder())
            listing.entries.append({name, status.isFolder()});
    }
    return listing;
}

bool PlannedFileSystem::readFile(const QString &path, QByteArray *bytes, FileError *error) const
{
    const Location where = locate(resolved(key(path)));
    if (where.node) {
        if (where.node->state == Node::Document) {
            *bytes = where.node->bytes;
            return true;
        }
        *error = FileError(QStringLiteral("not a regular file"));
        return false;
    }
    if (where.real.isEmpty()) {
        *error = systemError(ENOENT);
        return false;
    }
    return m_disk->readFile(where.real, bytes, error);
}

FileComparison PlannedFileSystem::compare(
    const QString &source, const QString &target, ComparedSource *seen) const
{
    // Both names are resolved before either is located: resolving may unpack
    // a folder, and a node found before that might have moved.
    const QString sourceKey = resolved(key(source));
    const QString targetKey = resolved(key(target));
    const Location a = locate(sourceKey);
    const Location b = locate(targetKey);
    seen->entry = status(source);
    if (a.node || b.node) {
        // Documents the plan wrote are compared from memory.
        QByteArray left;
        QByteArray right;
        FileError ignored;
        if (!readFile(source, &left, &ignored) || !readFile(target, &right, &ignored))
            return FileComparison::Unreadable;
        seen->content = seen->entry;
        seen->sha3 = sha3(left);
        return left == right ? FileComparison::Identical : FileComparison::Different;
    }
    if (a.real.isEmpty() || b.real.isEmpty())
        return FileComparison::Unreadable;
    return m_disk->compare(a.real, b.real, seen);
}

// The file system a name is on: a planned folder is on its nearest real one's.
quint64 PlannedFileSystem::deviceOf(const QString &key) const
{
    for (QString at = key;; at = parentFolder(at)) {
        const Location where = locate(at);
        if (!where.real.isEmpty()) {
            const EntryStatus status = diskStatus(where.real);
            if (status.exists)
                return status.device;
        }
        if (at == QLatin1String("/") || at.isEmpty())
            return 0;
    }
}

// A folder the plan made may be changed; a real one as the disk says.
bool PlannedFileSystem::mayChangeIn(const QString &folder, FileError *why) const
{
    const QString at = resolved(key(folder));
    const EntryStatus status = statusAt(at);
    if (!status.exists) {
        *why = systemError(ENOENT);
        return false;
    }
    if (!status.isFolder()) {
        *why = systemError(ENOTDIR);
        return false;
    }
    const Location where = locate(at);
    return where.real.isEmpty() || m_disk->mayChangeIn(where.real, why);
}

bool PlannedFileSystem::doMakeFolder(const QString &path, FileError *error)
{
    const QString at = key(path);
    if (statusAt(at).exists) {
        *error = systemError(EEXIST);
        return false;
    }
    Node node;
    node.state = Node::Folder;
    put(at, node);
    return true;
}

bool PlannedFileSystem::doMove(const QString &from, const QString &to, FileError *error)
{
    const QString source = key(from);
    const QString target = key(to);
    const EntryStatus moving = statusAt(source);
    if (!moving.exists) {
        *error = systemError(ENOENT);
        return false;
    }
    if (statusAt(target).exists) {
        *error = systemError(EEXIST);
        return false;
    }
    const Location where = locate(source);
    Node node;
    if (where.node) {
        node = *where.node;
    } else {
        // A link lives on its folder's file system, whatever it points to.
        const quint64 device = moving.isLink ? deviceOf(parentFolder(source)) : moving.device;
        if (deviceOf(parentFolder(target)) != device && !ChangeRules::crossesFileSystems(moving)) {
            *error = systemError(EXDEV);
            return false;
        }
        node.state = Node::Real;
        node.real = where.real;
    }
    put(source, Node());
    put(target, node);
    return true;
}

bool PlannedFileSystem::doRemove(const QString &path, const ComparedSource &, FileError *error)
{
    const QString at = key(path);
    if (!statusAt(at).exists) {
        *error = systemError(ENOENT);
        return false;
    }
    put(at, Node());
    return true;
}

bool PlannedFileSystem::doWrite(const QString &path, const QByteArray &bytes, FileError *error)
{
    // The rules were asked before the change was recorded, and a plan does
    // not change under the walk.
    Q_UNUSED(error)
    const QString at = key(path);
    Node node;
    node.state = Node::Document;
    node.bytes = bytes;
    put(at, node);
    return true;
}

bool PlannedFileSystem::doRemoveFolder(const QString &path, FileError *error)
{
    const QString at = key(path);
    if (!statusAt(at).isFolder()) {
        *error = systemError(ENOTDIR);
        return false;
    }
    const FolderListing inside = list(path);
    if (!inside.entries.isEmpty() || !inside.undecodable.isEmpty()) {
        *error = systemError(ENOTEMPTY);
        return false;
    }
    put(at, Node());
    return true;
}

bool PlannedFileSystem::inspect(const QString &path, ComparedSource *seen, FileError *error) const
{
    const Location where = locate(resolved(key(path)));
    if (where.node) {
        if (where.node->state != Node::Document) {
            *error = FileError(QStringLiteral("not a regular file"));
            return false;
        }
        seen->entry = seen->content = status(path);
        seen->sha3 = sha3(where.node->bytes);
        return true;
    }
    if (where.real.isEmpty()) {
        *error = systemError(ENOENT);
        return false;
    }
    return m_disk->inspect(where.real, seen, error);
}

bool PlannedFileSystem::doCopy(const QString &from, const QString &to, const QByteArray &digest,
    const FileAttributes &, FileError *error)
{
    ComparedSource seen;
    if (!inspect(from, &seen, error))
        return false;
    if (seen.sha3 != digest) {
        *error = FileError(QStringLiteral("its bytes are not the ones recorded"));
        return false;
    }
    const QString at = key(to);
    if (statusAt(at).exists) {
        *error = systemError(EEXIST);
        return false;
    }
    const Location where = locate(resolved(key(from)));
    Node node;
    if (where.node) {
        node = *where.node;
    } else {
        node.state = Node::Real;
        node.real = where.real;
    }
    put(at, node);
    return true;
}

void PlannedFileSystem::doneWith(const QString &folder)
{
    pack(resolved(key(folder)));
}
