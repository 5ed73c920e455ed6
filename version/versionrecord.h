#pragma once

#include "version/versionnumber.h"

#include <QJsonObject>
#include <QString>

// The product's name and version, as the application object announces them.
struct VersionRecord
{
    QString name; // lower case: the application name and window title
    QString displayName; // as shown to users
    VersionNumber version;

    // Reads "name", "display_name" and "version" (keys by the key naming rule).
    static VersionRecord fromJson(const QJsonObject &object);

    // The program's own record: "nimbo", "Nimbo", 1.10.0, revision 1, built
    // from the commit the build identifier names.
    static VersionRecord current();

    // "Nimbo (1.10.0+rev.1-build.abc1234)".
    QString displayText() const;
};
