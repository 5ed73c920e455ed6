#include "paths/resolvedpath.h"

#include "paths/filesystem.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

ResolvedPath resolvePath(const QString &path)
{
    const QString absolute = QDir::cleanPath(QFileInfo(path).absoluteFilePath());
    return {absolute, fileSystem().status(absolute).isFile()};
}

QString removeDotRuns(const QString &part)
{
    // Most parts hold no dot run; they need no pattern at all.
    if (!part.contains(QLatin1String("..")))
        return part;
    static const QRegularExpression dotRuns(QStringLiteral("\\.{2,}"));
    QString stripped = part;
    stripped.remove(dotRuns);
    return stripped;
}

ResolvedPath joinPath(const QStringList &parts)
{
    if (parts.isEmpty())
        return resolvePath(QString());
    QString joined = parts.first();
    for (int i = 1; i < parts.size(); ++i)
        joined += QLatin1Char('/') + parts.at(i);
    // The first part is a folder the program found on disk and is used as
    // found; the parts joined onto it may come from legacy files.
    return resolvePath(parts.first() + removeDotRuns(joined.mid(parts.first().size())));
}

QString joinPathText(const QStringList &parts)
{
    return joinPath(parts).path;
}
