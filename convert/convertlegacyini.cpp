#include "convert/convertlegacyini.h"

#include "convert/scenarioreader.h"
#include "convert/settingtext.h"
#include "filesystem/filesystem.h"
#include "model/actordata.h"
#include "paths/actorpath.h"
#include "paths/displayname.h"
#include "paths/folders.h"
#include "paths/medialookup.h"
#include "paths/resolvedpath.h"
#include "run/report.h"
#include "settings/settingfile.h"

#include <QFileInfo>
#include <QHash>

#include <algorithm>
#include <limits>

namespace {

using CsActor::LegacyEmote;
using GsSetting::SettingSection;

QString optionText(const SettingSection &options, const char *key)
{
    return settingText(options.value(QLatin1String(key)));
}

// The actor data file, made from the description's options. Returns why it
// could not be written, or nothing.
FileError createActorData(RunContext &run, const QString &folder, const SettingSection &options)
{
    CsActor::ActorData data(run.reading(), folder);
    data.shout_name = optionText(options, "shouts");
    data.chatbox_name = optionText(options, "chat");
    data.position_name = optionText(options, "side");

    CsActor::ActorPreset preset;
    preset.setBlipFile(optionText(options, "gender"));
    preset.setDisplayName(optionText(options, "showname"));
    data.presets.append(preset);
    return data.save(run.files, run.client);
}

// A [Sound] delay counts in seconds, stored as sixtieths.
qint32 soundDelayTicks(const QString &seconds)
{
    bool ok = false;
    const qint64 ticks = qint64(seconds.toInt(&ok, 10)) * 60;
    if (!ok)
        return 0;
    return qint32(qBound(
        qint64(std::numeric_limits<qint32>::min()), ticks, qint64(std::numeric_limits<qint32>::max())));
}

struct SoundSections
{
    SettingSection combined; // [Sound]: "file#seconds"
    SettingSection names; // [SoundN]
    SettingSection delays; // [SoundT]: ticks
};

void setSound(LegacyEmote &emote, const QString &key, const SoundSections &sounds)
{
    if (sounds.combined.contains(key)) {
        const QStringList parts = settingText(sounds.combined.value(key)).split(QLatin1Char('#'));
        emote.sound_file = parts.value(0);
        emote.sound_delay = soundDelayTicks(parts.value(1));
        return;
    }
    emote.sound_file = settingText(sounds.names.value(key));
    bool ok = false;
    const int delay = sounds.delays.value(key).toInt(&ok);
    emote.sound_delay = ok ? delay : 0;
}

// Whether the general sounds hold a sound, by its name as a description
// writes it. The run never changes that folder, so each name is looked up
// once for a whole description.
class GeneralSounds
{
public:
    explicit GeneralSounds(const ReadContext &client)
        : m_files(client.files)
        , m_folder(joinPathText(
              {baseFolderPath(client.client), QStringLiteral("sounds"), QStringLiteral("general")}))
    {
    }

    bool holds(const QString &name)
    {
        auto known = m_found.constFind(name);
        if (known == m_found.constEnd())
            known = m_found.insert(
                name, findSoundFile(m_files, PathBuilder().append(m_folder).append(name)).isFile);
        return known.value();
    }

private:
    const FileSystem &m_files;
    QString m_folder;
    QHash<QString, bool> m_found;
};

// An icon the folder does not hold falls back to the client's button image;
// a sound the general sounds do not hold is dropped with its delay.
void checkFiles(
    const FileSystem &files, LegacyEmote &emote, const QString &characterRoot, GeneralSounds &sounds)
{
    if (!joinPath(files, {characterRoot, QStringLiteral("emotions/%1.png").arg(emote.display_icon)}).isFile)
        emote.display_icon = QStringLiteral("button%1_off").arg(emote.display_icon);

    if (!sounds.holds(emote.sound_file)) {
        emote.sound_file.clear();
        emote.sound_delay = 0;
    }
}

} // namespace

LegacyIniReading readLegacyIni(const ReadContext &client, const QString &path)
{
    LegacyIniReading reading;
    // A file that is gone has no folder to speak of; guessing one would put
    // an actor data file where no character lives.
    const FileSystem &files = client.files;
    if (!files.status(path).exists)
        return reading;
    const QFileInfo info(path);
    QByteArray bytes;
    FileError reason;
    if (!files.readFile(path, &bytes, &reason)) {
        // Nothing is made from a file that cannot be read: a default actor
        // data file would keep its options out for good.
        reading.problems.append(LogRecord::error(
            QStringLiteral("cannot read %1: %2").arg(displayName(info.fileName()), reason.text),
            {path, {}, {}}));
        return reading;
    }
    // The sections come from the bytes read above, never from the file again:
    // a file swapped meanwhile (for a link out of the client, say) is not read.
    GsSetting::SettingFile settings;
    QString copyError;
    if (!settings.setContents(path, bytes, &copyError)) {
        reading.problems.append(LogRecord::error(
            QStringLiteral("cannot read %1: %2").arg(displayName(info.fileName()), copyError),
            {path, {}, {}}));
        return reading;
    }
    // The character is the folder as it was listed, even when it links elsewhere.
    reading.folder = QFileInfo(info.path()).fileName();
    if (settings.sections().contains(QStringLiteral("scenario"))) {
        readScenarioIni(files, reading.emotes, path);
        return reading;
    }
    reading.makesActorData = true;
    reading.options = settings.section(QStringLiteral("options"));

    QList<LegacyEmote> &emotes = reading.emotes;
    const SoundSections sounds{settings.section(QStringLiteral("sound")),
        settings.section(QStringLiteral("soundn")), settings.section(QStringLiteral("soundt"))};
    for (const GsSetting::SettingEntry &entry : settings.section(QStringLiteral("emotions")).entries) {
        const QString &key = entry.first;
        if (key == QLatin1String("number") || key == QLatin1String("firstmode"))
            continue;
        LegacyEmote emote(key, settingText(entry.second).split(QLatin1Char('#')));
        setSound(emote, key, sounds);
        CsActor::upsertLegacyEmote(emotes, emote);
    }
    std::stable_sort(emotes.begin(), emotes.end(),
        [](const LegacyEmote &a, const LegacyEmote &b) { return CsActor::legacyEmoteLess(a, b); });

    // The checks look only at icons and general sounds, which making the
    // actor data file never touches, so they may come before it. The folder
    // they look in is joined once: a walk never changes the current folder.
    const QString characterRoot = CActorPath(client, reading.folder).rootText();
    GeneralSounds generalSounds(client);
    for (LegacyEmote &emote : emotes)
        checkFiles(files, emote, characterRoot, generalSounds);
    return reading;
}

void makeActorData(RunContext &run, const LegacyIniReading &reading)
{
    if (!reading.makesActorData)
        return;
    const ResolvedPath actorData = actorDataFilePath(run.reading(), reading.folder);
    if (actorData.isFile)
        return;
    const FileError reason = createActorData(run, reading.folder, reading.options);
    if (!reason.isEmpty())
        run.report.error(
            QStringLiteral("cannot write %1: %2").arg(QString(FolderNames::actorDataFile), reason.text),
            {actorData.path, {}, {}});
}

void convertLegacyIni(RunContext &run, QList<LegacyEmote> &emotes, const QString &path)
{
    const LegacyIniReading reading = readLegacyIni(run.reading(), path);
    emotes = reading.emotes;
    run.report.append(reading.problems);
    makeActorData(run, reading);
}
