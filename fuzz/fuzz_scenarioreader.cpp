// The [scenario] reader on any file: no crash, no hang, and what it keeps is
// one non-empty object per section, read the same way twice.

#include "convert/scenarioreader.h"
#include "filesystem/diskfilesystem.h"
#include "fuzz/fuzzsupport.h"

#include <QJsonObject>

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString path = Fuzz::scratchFolder() + QStringLiteral("/scene.ini");
    if (!Fuzz::writeFile(path, QByteArray(reinterpret_cast<const char *>(data), int(size))))
        Fuzz::fail("the input file can be written", path);
    const DiskFileSystem disk;
    const QJsonArray kept = readScenarioData(disk, path);
    for (const QJsonValue &section : kept)
        Fuzz::require(section.isObject() && !section.toObject().isEmpty(), "kept sections are not empty");
    Fuzz::require(readScenarioData(disk, path) == kept, "a second reading gives the same sections");
    return 0;
}
