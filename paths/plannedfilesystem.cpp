#include "paths/plannedfilesystem.h"

#include "paths/posixfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using PosixFile::systemError;

QString nameOf(const QString &key)
{
    return key.mid(key.lastIndexOf(QLatin1Char('/')) + 1);
}

// The real path of the longest part of `path` that exists on disk, with the
// rest appended as it is.
QString realFolder(const QString &path)
{
    QString existing = path;
    QString rest;
    for (;;) {
        char *resolved = ::realpath(PosixFile::native(existing).constData(), nullptr);
        if (resolved) {
            const QString real = QFile::decodeName(resolved);
            std::free(resolved);
            return (real == QLatin1String("/") ? QString() : real) + rest;
        }
        if (existing.isEmpty() || existing == QLatin1String("/"))
            return path;
        rest.prepend(QLatin1Char('/') + nameOf(existing));
        existing = parentFolder(existing);
    }
}

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

QString PlannedFileSystem::key(const QString &path) const
{
    const QString clean = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    if (clean == QLatin1String("/"))
        return clean;
    // The entry itself is never resolved: a link is an entry of its own.
    // A dry run changes nothing on disk, so a folder's real path stays what
    // it was when first asked: asked once, remembered.
    const QString parent = parentFolder(clean);
    auto known = m_realFolders.constFind(parent);
    if (known == m_realFolders.constEnd())
        known = m_realFolders.insert(parent, realFolder(parent));
    return known.value() + QLatin1Char('/') + nameOf(clean);
}

PlannedFileSystem::Location PlannedFileSystem::locate(const QString &key) const
{
    QString ancestor = key;
    QString rest;
    for (;;) {
        const auto found = m_nodes.constFind(ancestor);
        if (found != m_nodes.constEnd()) {
            const Node &node = found.value();
            switch (node.state) {
            case Node::Gone:
                return {};
            case Node::Real:
                return {nullptr, node.real + rest};
            case Node::Document:
            case Node::Folder:
                // Whatever stands inside a planned folder is a node of its own.
                return rest.isEmpty() ? Location{&node, QString()} : Location{};
            }
        }
        if (ancestor == QLatin1String("/") || ancestor.isEmpty())
            return {nullptr, key};
        rest.prepend(QLatin1Char('/') + nameOf(ancestor));
        ancestor = parentFolder(ancestor);
    }
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
    const EntryStatus own = m_disk->status(where.real);
    if (!own.isLink)
        return own;
    // A link leads where the plan has put things, not where the disk has them.
    const QString target = resolved(key);
    EntryStatus status = target.isEmpty() ? EntryStatus() : statusAt(target);
    status.exists = true;
    status.isLink = true;
    return status;
}

QString PlannedFileSystem::resolved(const QString &key, int depth) const
{
    const Location where = locate(key);
    if (where.node || where.real.isEmpty())
        return key;
    const QByteArray real = PosixFile::native(where.real);
    struct stat info;
    if (::lstat(real.constData(), &info) != 0 || !S_ISLNK(info.st_mode))
        return key;
    if (depth > 40)
        return QString(); // a loop of links leads nowhere
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
        FolderListing found = m_disk->listNames(where.real);
        listing.undecodable = found.undecodable;
        listing.error = found.error;
        for (const FolderEntry &entry : qAsConst(found.entries)) {
            if (!m_nodes.contains(resolvedFolder + QLatin1Char('/') + entry.name))
                names.append(entry.name);
        }
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
        *error = QStringLiteral("not a regular file");
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
    const Location a = locate(resolved(key(source)));
    const Location b = locate(resolved(key(target)));
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
            const EntryStatus status = m_disk->status(where.real);
            if (status.exists)
                return status.device;
        }
        if (at == QLatin1String("/") || at.isEmpty())
            return 0;
    }
}

void PlannedFileSystem::put(const QString &key, const Node &node)
{
    m_nodes.insert(key, node);
    if (node.state == Node::Gone)
        m_added[parentFolder(key)].remove(nameOf(key));
    else
        m_added[parentFolder(key)].insert(nameOf(key));
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
        // Only a regular file can cross to another file system.
        // A link lives on its folder's file system, whatever it points to.
        const quint64 device = moving.isLink ? deviceOf(parentFolder(source)) : moving.device;
        if (deviceOf(parentFolder(target)) != device && (moving.isLink || !moving.isFile())) {
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
    const QString at = key(path);
    const EntryStatus existing = statusAt(at);
    if (existing.isLink) {
        *error = QStringLiteral("it is a link");
        return false;
    }
    if (existing.exists && !existing.isFile()) {
        *error = QStringLiteral("not a regular file");
        return false;
    }
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
            *error = QStringLiteral("not a regular file");
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
        *error = QStringLiteral("its bytes are not the ones recorded");
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
