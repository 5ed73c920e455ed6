#include "cli/sgr.h"

#include <QRegularExpression>

QString stripSgr(const QString &text)
{
    static const QRegularExpression sgr(QStringLiteral("\\x1b\\[[\\x30-\\x3f]*m"));
    QString plain = text;
    plain.remove(sgr);
    return plain;
}
