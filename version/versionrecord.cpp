#include "version/versionrecord.h"

#include "model/keyname.h"
#include "version/buildid.h"

#include <QJsonValue>

VersionRecord VersionRecord::fromJson(const QJsonObject &object)
{
    VersionRecord record;
    record.name = object.value(keyName(QStringLiteral("name"))).toString();
    record.displayName = object.value(keyName(QStringLiteral("displayName"))).toString();
    record.version = VersionNumber::fromJson(object.value(keyName(QStringLiteral("version"))).toObject());
    return record;
}

namespace {

VersionRecord programRecord()
{
    VersionRecord record = VersionRecord::fromJson(QJsonObject());
    record.name = QStringLiteral("nimbo");
    record.displayName = QStringLiteral("Nimbo");
    record.version.major = 1;
    record.version.minor = 10;
    record.version.patch = 0;
    record.version.revision = 1;
    record.version.build = QLatin1String(veltraBuildId);
    // No branch: releases come from the main line.
    return record;
}

} // namespace

VersionRecord VersionRecord::current()
{
    static const VersionRecord record = programRecord();
    return record;
}

QString VersionRecord::displayText() const
{
    return QStringLiteral("%1 (%2)").arg(displayName, version.toString());
}
