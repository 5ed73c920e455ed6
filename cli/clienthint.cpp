#include "cli/clienthint.h"

#include <QDir>
#include <QFileInfo>

namespace {

bool holdsCharacters(const QString &folder)
{
    return QFileInfo(folder + QStringLiteral("/base/characters")).isDir();
}

} // namespace

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
