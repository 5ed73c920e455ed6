#include "paths/resolvedpath.h"

#include "filesystem/filesystem.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

namespace {

QString absoluteText(const QString &path)
{
    // An absolute path needs no current folder, only cleaning.
    if (path.startsWith(QLatin1Char('/')))
        return QDir::cleanPath(path);
    return QDir::cleanPath(QFileInfo(path).absoluteFilePath());
}

} // namespace

ResolvedPath resolvePath(const FileSystem &files, const QString &path)
{
    const QString absolute = absoluteText(path);
    return {absolute, files.status(absolute).isFile()};
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

namespace {

QString joinedText(const QStringList &parts)
{
    if (parts.isEmpty())
        return QString();
    QString joined = parts.first();
    for (int i = 1; i < parts.size(); ++i)
        joined += QLatin1Char('/') + parts.at(i);
    // The first part is a folder the program found on disk and is used as
    // found; the parts joined onto it may come from legacy files.
    return parts.first() + removeDotRuns(joined.mid(parts.first().size()));
}

} // namespace

ResolvedPath joinPath(const FileSystem &files, const QStringList &parts)
{
    return resolvePath(files, joinedText(parts));
}

QString joinPathText(const QStringList &parts)
{
    // Only the text: nothing is looked up on disk.
    return absoluteText(joinedText(parts));
}
