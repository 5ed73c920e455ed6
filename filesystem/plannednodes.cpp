// The plan's nodes and the keys they are kept under. A key is a name in its
// folder's real path, so a folder reached through a link is the one folder;
// a folder moved is one node the names below it are found through, not a
// node for each of them; and what the plan holds below a folder the walk is
// done with is packed away, so a long dry run keeps unpacked mostly what the
// walk is still in.
#include "filesystem/plannedfilesystem.h"

#include "filesystem/parentfolder.h"
#include "filesystem/posixfile.h"

#include <QDataStream>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <iterator>

namespace {

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

void PlannedFileSystem::put(const QString &key, const Node &node)
{
    m_shortest = qMin(m_shortest, key.size());
    m_nodes.insert(key, node);
    if (node.state == Node::Gone)
        m_added[parentFolder(key)].remove(nameOf(key));
    else
        m_added[parentFolder(key)].insert(nameOf(key));
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
