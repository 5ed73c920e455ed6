#include "filesystem/plannedfilesystem.h"

#include "filesystem/changerules.h"

#include "filesystem/digest.h"
#include "filesystem/parentfolder.h"
#include "filesystem/posixfile.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <algorithm>
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
    return realFolderOf(parentFolder(clean)) + QLatin1Char('/') + nameOf(clean);
}

// A folder's real path, "" for the root. Built from its parent's one part at
// a time, so that only a link on the way costs a full resolution.
QString PlannedFileSystem::realFolderOf(const QString &folder) const
{
    if (folder == QLatin1String("/") || folder.isEmpty())
        return QString();
    const auto known = m_realFolders.constFind(folder);
    if (known != m_realFolders.constEnd())
        return known.value();
    const QString plain = realFolderOf(parentFolder(folder)) + QLatin1Char('/') + nameOf(folder);
    const QString real = diskEntry(plain).isLink ? realFolder(folder) : plain;
    // Asked again, the disk gives the same answer: a seam that is never told
    // it is done with a folder (an undo's preview of a flat journal) keeps
    // only so many.
    if (m_realFolders.size() >= 16384)
        m_realFolders.clear();
    m_realFolders.insert(folder, real);
    return real;
}

PlannedFileSystem::Location PlannedFileSystem::locate(const QString &key) const
{
    QString ancestor = key;
    // No key of the plan is shorter than m_shortest: above it the disk answers.
    while (ancestor.size() >= m_shortest) {
        if (!m_packed.isEmpty() && m_packed.contains(ancestor))
            unpack(ancestor);
        const auto found = m_nodes.constFind(ancestor);
        if (found != m_nodes.constEnd()) {
            const Node &node = found.value();
            switch (node.state) {
            case Node::Gone:
                return {};
            case Node::Real:
                return {nullptr, node.real + QStringView(key).mid(ancestor.size())};
            case Node::Document:
            case Node::Folder:
                // Whatever stands inside a planned folder is a node of its own.
                return ancestor.size() == key.size() ? Location{&node, QString()} : Location{};
            }
        }
        if (ancestor == QLatin1String("/") || ancestor.isEmpty())
            break;
        const int slash = ancestor.lastIndexOf(QLatin1Char('/'));
        ancestor.truncate(slash > 0 ? slash : 1);
    }
    return {nullptr, key};
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

void PlannedFileSystem::put(const QString &key, const Node &node)
{
    m_shortest = qMin(m_shortest, key.size());
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

void PlannedFileSystem::pack(const QString &folderKey)
{
    if (folderKey.isEmpty())
        return;
    const QString inside = folderKey + QLatin1Char('/');
    const auto within = [&](const QString &at) { return at == folderKey || at.startsWith(inside); };
    QByteArray packed;
    {
        QDataStream out(&packed, QIODevice::WriteOnly);
        QVector<QString> nodes;
        for (auto it = m_nodes.cbegin(); it != m_nodes.cend(); ++it) {
            if (it.key().startsWith(inside))
                nodes.append(it.key());
        }
        out << quint32(nodes.size());
        for (const QString &at : qAsConst(nodes)) {
            const Node node = m_nodes.take(at);
            out << at.mid(folderKey.size()) << qint8(node.state) << node.real << node.bytes;
        }
        QVector<QString> folders;
        for (auto it = m_added.cbegin(); it != m_added.cend(); ++it) {
            if (within(it.key()))
                folders.append(it.key());
        }
        out << quint32(folders.size());
        for (const QString &at : qAsConst(folders))
            out << at.mid(folderKey.size()) << m_added.take(at);
        if (nodes.isEmpty() && folders.isEmpty())
            packed.clear();
    }
    // What is remembered of the disk below the folder goes too; it is asked
    // again should anything come back.
    for (auto it = m_realFolders.begin(); it != m_realFolders.end();)
        it = within(it.value()) ? m_realFolders.erase(it) : std::next(it);
    for (auto it = m_seen.begin(); it != m_seen.end();)
        it = within(it.key()) ? m_seen.erase(it) : std::next(it);
    if (packed.isEmpty())
        return;
    QByteArray compressed = qCompress(packed, 1);
    compressed.squeeze(); // the compressor leaves room for the uncompressed size
    m_shortest = qMin(m_shortest, folderKey.size());
    m_packed.insert(folderKey, compressed);
}

void PlannedFileSystem::unpack(const QString &folderKey) const
{
    const QByteArray packed = qUncompress(m_packed.take(folderKey));
    QDataStream in(packed);
    quint32 count = 0;
    in >> count;
    for (quint32 at = 0; at < count; ++at) {
        QString name;
        qint8 state = 0;
        Node node;
        in >> name >> state >> node.real >> node.bytes;
        node.state = Node::State(state);
        m_nodes.insert(folderKey + name, node);
    }
    in >> count;
    for (quint32 at = 0; at < count; ++at) {
        QString name;
        QSet<QString> names;
        in >> name >> names;
        m_added.insert(folderKey + name, names);
    }
}
