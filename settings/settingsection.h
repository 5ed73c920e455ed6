#pragma once

#include <QPair>
#include <QString>
#include <QVariant>
#include <QVector>

namespace GsSetting {

using SettingEntry = QPair<QString, QVariant>;

// One INI section as loaded: its (lower-case key, value) pairs, numbered keys
// first in numeric order, then the others as they were read.
struct SettingSection
{
    QVector<SettingEntry> entries;
    QString name;

    // The value of the first entry whose key is exactly `key`; an invalid
    // variant when there is none.
    QVariant value(const QString &key) const;
    bool contains(const QString &key) const;
};

} // namespace GsSetting
