#include "cli/clienthint.h"

#include "paths/displayname.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cstdlib>
#include <memory>
#include <unistd.h>

bool holdsCharacters(const QString &folder)
{
    return QFileInfo(folder + QStringLiteral("/base/characters")).isDir();
}

QString probableClientFolder(const QString &folder)
{
    QDir dir(folder);
    // Up to three levels: base, characters, a character folder.
    for (int level = 0; level < 3 && dir.cdUp(); ++level) {
        if (holdsCharacters(dir.path()))
            return dir.path();
    }
    return QString();
}

QString untextualPath(const QByteArray &native)
{
    if (QString::fromUtf8(native).toUtf8() == native)
        return QString();
    return QStringLiteral(
        "the path %1 is not valid UTF-8, so no log or journal could name it truly; rename the "
        "folder whose name is not")
        .arg(displayBytes(native));
}

QByteArray nativeArgument(int argc, char **argv, const QString &argument)
{
    for (int i = argc - 1; i > 0; --i) {
        if (QString::fromLocal8Bit(argv[i]) == argument)
            return QByteArray(argv[i]);
    }
    return QFile::encodeName(argument);
}

QByteArray nativeCurrentFolder()
{
    std::unique_ptr<char, decltype(&std::free)> path(::getcwd(nullptr, 0), &std::free);
    return path ? QByteArray(path.get()) : QByteArray();
}
