#include "settings/settingsection.h"

#include <algorithm>

namespace GsSetting {

namespace {

auto findEntry(const QVector<SettingEntry> &entries, const QString &key)
{
    return std::find_if(
        entries.cbegin(), entries.cend(), [&key](const SettingEntry &entry) { return entry.first == key; });
}

} // namespace

QVariant SettingSection::value(const QString &key) const
{
    const auto found = findEntry(entries, key);
    return found == entries.cend() ? QVariant() : found->second;
}

bool SettingSection::contains(const QString &key) const
{
    return findEntry(entries, key) != entries.cend();
}

} // namespace GsSetting
