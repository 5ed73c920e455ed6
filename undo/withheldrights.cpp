#include "undo/withheldrights.h"

#include <QStringList>

QString withheldRights(const FileAttributes &recorded, const EntryStatus &twin)
{
    if (!recorded.known)
        return QString();
    QStringList withheld;
    if (recorded.mode & 04000)
        withheld << QStringLiteral("the set-user-ID bit");
    if (recorded.mode & 02000)
        withheld << QStringLiteral("the set-group-ID bit");
    if (recorded.mode & 01000)
        withheld << QStringLiteral("the sticky bit");
    if (recorded.owner >= 0 && twin.owner >= 0
        && (recorded.owner != twin.owner || recorded.group != twin.group))
        withheld << QStringLiteral("the owner and group (%1:%2)").arg(recorded.owner).arg(recorded.group);
    if (withheld.size() > 1)
        withheld.last().prepend(QStringLiteral("and "));
    return withheld.join(withheld.size() > 2 ? QStringLiteral(", ") : QStringLiteral(" "));
}
