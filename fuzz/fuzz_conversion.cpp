// The whole conversion of one legacy description. The input is the bytes of
// base/characters/X/char.ini in a client folder of its own. Properties: a
// description is written exactly when the log says so, it parses, and the
// texts of every emotion line (name, pre-animation and emote file) come back
// exactly as the INI reader gives them.

#include "convert/convertlegacyfiles.h"
#include "convert/settingtext.h"
#include "fuzz/fuzzsupport.h"
#include "settings/settingfile.h"
#include "testsupport/testrun.h"
#include "testsupport/tomlparseback.h"

#include <QDir>
#include <QFile>
#include <QSet>

#include <cstddef>
#include <cstdint>

namespace {

const QString folder = QStringLiteral("base/characters/X/");
const QString iniPath = folder + QStringLiteral("char.ini");
const QString tomlPath = folder + QStringLiteral("char.toml");

// The texts an emotion line keeps verbatim, joined so they compare as one.
QString emoteTexts(const QString &name, const QString &animation, const QString &file)
{
    return name + QChar(0xffff) + animation + QChar(0xffff) + file;
}

// The texts of the [Emotions] lines as the INI reader gives them, in `all`;
// the function returns those of lines whose key is there once (a repeated key
// makes one emote of several lines).
QSet<QString> expectedTexts(const GsSetting::SettingSection &emotions, QSet<QString> &all)
{
    QSet<QString> seen;
    QSet<QString> repeated;
    for (const GsSetting::SettingEntry &entry : emotions.entries) {
        if (seen.contains(entry.first))
            repeated.insert(entry.first);
        seen.insert(entry.first);
    }
    QSet<QString> unique;
    for (const GsSetting::SettingEntry &entry : emotions.entries) {
        if (entry.first == QLatin1String("number") || entry.first == QLatin1String("firstmode"))
            continue;
        const QStringList parts = settingText(entry.second).split(QLatin1Char('#'));
        const QString texts = emoteTexts(parts.value(0), parts.value(1), parts.value(2));
        all.insert(texts);
        if (!repeated.contains(entry.first))
            unique.insert(texts);
    }
    return unique;
}

QString text(const QJsonObject &emote, const char *key)
{
    return emote.value(QLatin1String(key)).toString();
}

void check(const std::uint8_t *data, std::size_t size)
{
    QFile::remove(tomlPath);
    QDir(folder + QStringLiteral("data")).removeRecursively();
    if (!Fuzz::writeFile(iniPath, QByteArray(reinterpret_cast<const char *>(data), int(size))))
        Fuzz::fail("the input file can be written", iniPath);

    TestRun run(QDir::currentPath());
    convertLegacyFiles(run.context, {iniPath});
    const QStringList log = run.lines();
    const bool said = log == QStringList{QStringLiteral("Converting char.ini...")};
    Fuzz::require(said || log.isEmpty(), "the log has one line at most", log.join('\n'));
    QFile toml(tomlPath);
    if (!said) {
        Fuzz::require(!toml.exists(), "no description without a log line");
        return;
    }
    Fuzz::require(toml.open(QIODevice::ReadOnly), "a description is written when the log says so");
    const QByteArray bytes = toml.readAll();

    QString parseError;
    const QJsonObject document = TomlParseBack::parseToml(bytes, &parseError);
    Fuzz::require(parseError.isEmpty(), "the description parses", parseError);

    GsSetting::SettingFile settings;
    settings.setFileName(iniPath);
    if (settings.sections().contains(QStringLiteral("scenario")))
        return; // read by the scenario reader: texts are simplified on the way

    QSet<QString> all;
    const QSet<QString> unique = expectedTexts(settings.section(QStringLiteral("emotions")), all);
    QSet<QString> written;
    for (const QJsonValue &value : document.value(QStringLiteral("scenario")).toArray()) {
        const QJsonObject emote = value.toObject();
        const QString texts = emoteTexts(
            text(emote, "display_name"), text(emote, "emote_anim_file"), text(emote, "emote_file"));
        Fuzz::require(all.contains(texts), "every written emote comes from an emotion line", texts);
        written.insert(texts);
    }
    for (const QString &texts : unique)
        Fuzz::require(written.contains(texts), "every emotion line's texts are written", texts);
}

} // namespace

// The conversion works in the current folder, while libFuzzer's own paths are
// relative to the folder it started in: the client folder is current only
// while an input runs.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static const QString top = Fuzz::scratchFolder();
    static const bool made = QDir(top).mkpath(folder);
    const QString started = QDir::currentPath();
    if (!made || !QDir::setCurrent(top))
        Fuzz::fail("a client folder can be made", top);
    check(data, size);
    QDir::setCurrent(started);
    return 0;
}
