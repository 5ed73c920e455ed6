#include "paths/resolvedpath.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>

ResolvedPath resolvePath(const QString &path)
{
    const QFileInfo info(path);
    return {QDir::cleanPath(info.absoluteFilePath()), info.isFile()};
}

ResolvedPath joinPath(const QStringList &parts)
{
    static const QRegularExpression dotRuns(QStringLiteral("\\.{2,}"));
    QString joined = parts.join(QLatin1Char('/'));
    joined.remove(dotRuns);
    return resolvePath(joined);
}

QString joinPathText(const QStringList &parts)
{
    return joinPath(parts).path;
}
