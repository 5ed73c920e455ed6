#include "paths/filetree.h"

#include "filesystem/filesystem.h"

#include <algorithm>

namespace AsFileTree {
namespace {

bool suffixAccepted(const QString &name, const QStringList &suffixes)
{
    if (suffixes.isEmpty())
        return true;
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    const QStringView own = dot < 0 ? QStringView() : QStringView(name).mid(dot + 1);
    for (const QString &wanted : suffixes) {
        if (wanted.toLower() == own)
            return true;
    }
    return false;
}

// Folders first, then by name ignoring case; names equal but for case keep
// one fixed order, so a listing never depends on how the disk returned it.
QVector<FolderEntry> sorted(QVector<FolderEntry> entries)
{
    struct Keyed
    {
        FolderEntry entry;
        QString folded;
    };
    QVector<Keyed> keyed;
    keyed.reserve(entries.size());
    for (FolderEntry &entry : entries)
        keyed.append({entry, entry.name.toLower()});
    std::sort(keyed.begin(), keyed.end(), [](const Keyed &a, const Keyed &b) {
        if (a.entry.isFolder != b.entry.isFolder)
            return a.entry.isFolder;
        const int folded = a.folded.compare(b.folded);
        return folded != 0 ? folded < 0 : a.entry.name < b.entry.name;
    });
    QVector<FolderEntry> result;
    result.reserve(keyed.size());
    for (const Keyed &item : keyed)
        result.append(item.entry);
    return result;
}

void fill(const FileSystem &files, FileTree &node, int filter, const QStringList &suffixes)
{
    // An empty path names no folder (QDir would read it as the current one).
    if (node.path.isEmpty())
        return;
    // The order is total, so the entries the filter takes are sorted alone.
    QVector<FolderEntry> taken;
    for (const FolderEntry &entry : files.list(node.path).entries) {
        if (entry.isFolder ? (filter & Folders) : ((filter & Files) && suffixAccepted(entry.name, suffixes)))
            taken.append(entry);
    }
    for (const FolderEntry &entry : sorted(taken)) {
        FileTree child;
        child.path = node.path + QLatin1Char('/') + entry.name;
        child.listingRoot = node.listingRoot;
        if (entry.isFolder && (filter & Recursive)) {
            fill(files, child, filter, suffixes);
            if (child.children.isEmpty())
                continue;
        }
        node.children.append(child);
    }
}

} // namespace

FileTree buildFileTree(
    const FileSystem &files, const QString &path, const int &filter, const QStringList &suffixes)
{
    FileTree root;
    root.path = path;
    root.listingRoot = QSharedPointer<const ListingRoot>::create(ListingRoot{path});
    fill(files, root, filter, suffixes);
    return root;
}

FileTree buildFileTree(const FileSystem &files, const QString &path, const int &filter)
{
    return buildFileTree(files, path, filter, QStringList());
}

FileTree buildFileTree(const FileSystem &files, const QString &path, const int &filter, const char *suffix)
{
    return buildFileTree(files, path, filter, QStringList{QString::fromUtf8(suffix)});
}

QString path(const FileTree &node)
{
    return node.path;
}

QString fileName(const FileTree &node)
{
    return node.path.mid(node.path.lastIndexOf(QLatin1Char('/')) + 1);
}

QString baseName(const FileTree &node)
{
    const QString name = fileName(node);
    return name.left(name.indexOf(QLatin1Char('.')));
}

QString suffix(const FileTree &node)
{
    const QString name = fileName(node);
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot + 1);
}

} // namespace AsFileTree
