// The INI reader on any file: no crash, no hang, and a second reading gives
// the same sections.

#include "fuzz/fuzzsupport.h"
#include "settings/settingfile.h"

#include <cstddef>
#include <cstdint>

namespace {

bool sameSections(const GsSetting::SettingFile &a, const GsSetting::SettingFile &b)
{
    if (a.sections().keys() != b.sections().keys())
        return false;
    for (auto it = a.sections().constBegin(); it != a.sections().constEnd(); ++it) {
        const GsSetting::SettingSection other = b.section(it.key());
        if (it->name != other.name || it->entries != other.entries)
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString path = Fuzz::scratchFolder() + QStringLiteral("/char.ini");
    if (!Fuzz::writeFile(path, QByteArray(reinterpret_cast<const char *>(data), int(size))))
        Fuzz::fail("the input file can be written", path);
    GsSetting::SettingFile first;
    first.setFileName(path);
    GsSetting::SettingFile second;
    second.setFileName(path);
    Fuzz::require(sameSections(first, second), "a second reading gives the same sections");
    return 0;
}
