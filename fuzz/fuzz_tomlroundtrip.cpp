// Any texts written into a description read back exactly. The input is split
// at 0xff bytes (never part of UTF-8) into texts; they fill the emotes of a
// "scenario" array under the writer's usual keys, whose lengths give the
// library different line widths. The document is written with writeTomlFile
// and read back with the TOML library.

#include "convert/tomlwriter.h"
#include "filesystem/diskfilesystem.h"
#include "fuzz/fuzzsupport.h"
#include "testsupport/tomlparseback.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>

#include <cstddef>
#include <cstdint>

namespace {

const char *const keys[] = {"display_name", "emote_file", "emote_anim_file", "actor_preset_name",
    "sound_file", "display_icon", "anim_overlay_preset_name"};
constexpr int keyCount = int(sizeof keys / sizeof *keys);

QJsonObject document(const QByteArray &input)
{
    QJsonArray scenario;
    QJsonObject emote;
    int index = 0;
    for (const QByteArray &part : input.split('\xff')) {
        emote.insert(QLatin1String(keys[index % keyCount]), QString::fromUtf8(part));
        if (++index % keyCount == 0) {
            emote.insert(QStringLiteral("sound_delay"), index);
            scenario.append(emote);
            emote = QJsonObject();
        }
    }
    if (!emote.isEmpty())
        scenario.append(emote);
    return {{QStringLiteral("scenario"), scenario}};
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString path = Fuzz::scratchFolder() + QStringLiteral("/char.toml");
    DiskFileSystem disk;
    const QJsonObject written = document(QByteArray(reinterpret_cast<const char *>(data), int(size)));
    const QString error = writeTomlFile(disk, written, path).text;
    const QString json = QString::fromUtf8(QJsonDocument(written).toJson(QJsonDocument::Compact));
    Fuzz::require(error.isEmpty(), "the description is written", error + QLatin1Char('\n') + json);

    QFile file(path);
    Fuzz::require(file.open(QIODevice::ReadOnly), "the description can be read", path);
    const QByteArray bytes = file.readAll();
    QString parseError;
    const QJsonObject read = TomlParseBack::parseToml(bytes, &parseError);
    Fuzz::require(parseError.isEmpty(), "the description parses", parseError);
    Fuzz::require(read == written, "every text reads back exactly", json);
    return 0;
}
