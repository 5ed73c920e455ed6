#pragma once

#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QVector>

class FileSystem;

namespace AsFileTree {

// Filter flags of a listing, combined as a bit set.
enum TreeFilter : int {
    Folders = 1,
    Files = 2,
    Recursive = 4,
};

// The path a listing was started with, shared by every node of that listing.
struct ListingRoot
{
    QString path;
};

// One node of a listing. Nodes are values: copies share their children
// (copy-on-write) and the listing root.
struct FileTree
{
    QVector<FileTree> children;
    QSharedPointer<const ListingRoot> listingRoot;
    QString path;
};

// Lists the folder at `path` one level deep (or deeper with Recursive):
// hidden entries, "." and ".." left out, folders first, then by name ignoring
// case. A file is taken only when its suffix equals one of `suffixes`
// (compared against the lower-cased list item, the file's own suffix as is);
// an empty list takes every file.
FileTree buildFileTree(
    const FileSystem &files, const QString &path, const int &filter, const QStringList &suffixes);
FileTree buildFileTree(const FileSystem &files, const QString &path, const int &filter);
FileTree buildFileTree(const FileSystem &files, const QString &path, const int &filter, const char *suffix);

QString path(const FileTree &node);
QString fileName(const FileTree &node);
QString baseName(const FileTree &node);
QString suffix(const FileTree &node);

} // namespace AsFileTree
