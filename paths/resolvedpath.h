#pragma once

#include <QString>
#include <QStringList>

class FileSystem;

// The result of every path operation: an absolute path and whether, when it
// was resolved, a regular file stood there.
struct ResolvedPath
{
    QString path;
    bool isFile = false;
};

// Makes `path` absolute against the current folder, without joining or stripping.
ResolvedPath resolvePath(const FileSystem &files, const QString &path);

// The one join rule: parts joined with "/", then made absolute. The first
// part is a folder found on disk and is taken exactly as found; in the parts
// joined onto it every run of two or more dots is removed, so no part can
// climb out of its folder.
ResolvedPath joinPath(const FileSystem &files, const QStringList &parts);
QString joinPathText(const QStringList &parts);

// The text without its runs of two or more dots.
QString removeDotRuns(const QString &part);
