#pragma once

#include <QString>
#include <QStringList>

// The result of every path operation: an absolute path and whether, when it
// was resolved, a regular file stood there.
struct ResolvedPath
{
    QString path;
    bool isFile = false;
};

// Makes `path` absolute against the current folder, without joining or stripping.
ResolvedPath resolvePath(const QString &path);

// The one join rule: parts joined with "/", every run of two or more dots
// removed (so no part can climb out of its folder), then made absolute.
ResolvedPath joinPath(const QStringList &parts);
QString joinPathText(const QStringList &parts);
