#pragma once

#include <QString>
#include <QStringList>

// Why the characters `asked` for by --character cannot be taken in the
// client `client`, or empty when each is a folder of its base/characters:
// the first unknown name, and the names it was probably meant as.
QString unknownCharacter(const QString &client, const QStringList &asked);
