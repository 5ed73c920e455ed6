#include "version/versionnumber.h"

#include <QJsonValue>

VersionNumber VersionNumber::fromJson(const QJsonObject &object)
{
    VersionNumber number;
    number.major = object.value(QLatin1String("major")).toInt(0);
    number.minor = object.value(QLatin1String("minor")).toInt(0);
    number.patch = object.value(QLatin1String("patch")).toInt(0);
    number.branch = object.value(QLatin1String("branch")).toString();
    number.revision = object.value(QLatin1String("revision")).toInt(0);
    number.build = object.value(QLatin1String("build")).toString();
    return number;
}

namespace {

// The first piece of metadata is introduced by "+", every later one by "-".
void appendMetadata(QString &suffix, const QString &piece)
{
    suffix += suffix.isEmpty() ? QLatin1Char('+') : QLatin1Char('-');
    suffix += piece;
}

} // namespace

QString VersionNumber::toString() const
{
    QString text = QStringLiteral("%1.%2.%3").arg(major).arg(minor).arg(patch);

    // Every build off the main line is a beta; the branch's own name stays out
    // of the version text.
    if (!branch.isEmpty() && branch != QLatin1String("master"))
        text += QLatin1String("-beta");

    QString suffix;
    if (revision != 0)
        appendMetadata(suffix, QStringLiteral("rev.%1").arg(revision));
    if (!build.isEmpty())
        appendMetadata(suffix, QLatin1String("build.") + build);
    return text + suffix;
}
