#pragma once

#include <QJsonObject>
#include <QString>

// A product version: major.minor.patch, an optional branch part and the
// revision and build metadata.
struct VersionNumber
{
    int major = 0;
    int minor = 0;
    int patch = 0;
    QString branch;
    int revision = 0;
    QString build;

    // Reads "major", "minor", "patch", "branch", "revision" and "build"; what
    // is missing stays 0 or empty.
    static VersionNumber fromJson(const QJsonObject &object);

    // "1.10.0", then "-beta" for a branch other than "master", then the
    // metadata in semantic-versioning style: "+rev.1-build.abc1234".
    QString toString() const;
};
