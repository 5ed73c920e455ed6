#include "paths/filetree.h"

#include <QDir>
#include <QFileInfo>

namespace AsFileTree {
namespace {

bool suffixAccepted(const QFileInfo &info, const QStringList &suffixes)
{
    if (suffixes.isEmpty())
        return true;
    const QString own = info.suffix();
    for (const QString &wanted : suffixes) {
        if (wanted.toLower() == own)
            return true;
    }
    return false;
}

void fill(FileTree &node, int filter, const QStringList &suffixes)
{
    // QDir reads an empty path as the current folder; an empty path names no folder.
    if (node.path.isEmpty())
        return;
    const QDir dir(node.path);
    const QFileInfoList entries = dir.entryInfoList(
        QDir::Dirs | QDir::Files | QDir::NoDotAndDotDot, QDir::Name | QDir::DirsFirst | QDir::IgnoreCase);
    for (const QFileInfo &entry : entries) {
        FileTree child;
        child.path = node.path + QLatin1Char('/') + entry.fileName();
        child.listingRoot = node.listingRoot;
        if (entry.isDir()) {
            if (!(filter & Folders))
                continue;
            if (filter & Recursive) {
                fill(child, filter, suffixes);
                if (child.children.isEmpty())
                    continue;
            }
        } else {
            if (!(filter & Files) || !suffixAccepted(entry, suffixes))
                continue;
        }
        node.children.append(child);
    }
}

} // namespace

FileTree buildFileTree(const QString &path, const int &filter, const QStringList &suffixes)
{
    FileTree root;
    root.path = path;
    root.listingRoot = QSharedPointer<const ListingRoot>::create(ListingRoot{path});
    fill(root, filter, suffixes);
    return root;
}

FileTree buildFileTree(const QString &path, const int &filter)
{
    return buildFileTree(path, filter, QStringList());
}

FileTree buildFileTree(const QString &path, const int &filter, const char *suffix)
{
    return buildFileTree(path, filter, QStringList{QString::fromUtf8(suffix)});
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
