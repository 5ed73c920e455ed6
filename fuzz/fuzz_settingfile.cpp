// The INI reader on any file: no crash, no hang, and a second reading gives
// the same sections. The copy a build against Qt 6 hands QSettings instead is
// made here too, whichever Qt this build uses, so that its splitting of
// hostile bytes is fuzzed on every build.

#include "fuzz/fuzzsupport.h"
#include "settings/settingfile.h"
#include "settings/utf8ini.h"

#include <cstddef>
#include <cstdint>

namespace {

// Two readings of one value agree. A value QSettings could not load (a
// damaged "@Variant(...)") never equals itself as a QVariant, so values are
// compared by their kind and the text the conversion takes of them.
bool sameValue(const QVariant &a, const QVariant &b)
{
    return a.userType() == b.userType() && a.toString() == b.toString()
        && a.toStringList() == b.toStringList();
}

bool sameEntries(const QVector<GsSetting::SettingEntry> &a, const QVector<GsSetting::SettingEntry> &b)
{
    if (a.size() != b.size())
        return false;
    for (int i = 0; i < a.size(); ++i) {
        if (a.at(i).first != b.at(i).first || !sameValue(a.at(i).second, b.at(i).second))
            return false;
    }
    return true;
}

bool sameSections(const GsSetting::SettingFile &a, const GsSetting::SettingFile &b)
{
    if (a.sections().keys() != b.sections().keys())
        return false;
    for (auto it = a.sections().constBegin(); it != a.sections().constEnd(); ++it) {
        const GsSetting::SettingSection other = b.section(it.key());
        if (it->name != other.name || !sameEntries(it->entries, other.entries))
            return false;
    }
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString path = Fuzz::scratchFolder() + QStringLiteral("/char.ini");
    const QByteArray bytes(reinterpret_cast<const char *>(data), int(size));
    if (!Fuzz::writeFile(path, bytes))
        Fuzz::fail("the input file can be written", path);
    for (const bool utf8 : {false, true})
        GsSetting::utf8Ini(bytes, utf8);
    GsSetting::SettingFile first;
    first.setFileName(path);
    GsSetting::SettingFile second;
    second.setFileName(path);
    Fuzz::require(sameSections(first, second), "a second reading gives the same sections");
    return 0;
}
