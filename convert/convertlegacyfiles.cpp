#include "convert/convertlegacyfiles.h"

#include "app/loglevel.h"
#include "convert/convertlegacyini.h"
#include "convert/tomlwriter.h"
#include "model/actordescription.h"
#include "paths/actorpath.h"
#include "paths/displayname.h"
#include "paths/filesystem.h"
#include "paths/logsink.h"

#include <QFileInfo>
#include <QJsonArray>

namespace {

// The legacy emotes become current emotes through their shared JSON keys.
QJsonObject descriptionDocument(const QList<CsActor::LegacyEmote> &emotes)
{
    QJsonArray scenario;
    for (const CsActor::LegacyEmote &emote : emotes)
        scenario.append(emote.toJson());
    CsActor::ActorDescription description;
    description.readJson({{QStringLiteral("scenario"), scenario}});
    return description.toJson();
}

} // namespace

QStringList convertLegacyFiles(const QStringList &iniPaths)
{
    QStringList log;
    // Lines about the changes this makes go right after the line that caused them.
    const LogSink sink(log);
    FileSystem &files = fileSystem();
    QList<CsActor::LegacyEmote> emotes;
    for (const QString &path : iniPaths) {
        const QFileInfo info(path);
        // The character is the folder as it was listed, even when it links elsewhere.
        const QString folder = QFileInfo(info.path()).fileName();
        const QString target = info.completeBaseName() + QStringLiteral(".toml");
        const QString targetPath = actorFilePath(folder, target).path;
        const QString shownName = displayName(info.fileName());

        // A link counts as taken even when it points nowhere: writing through
        // it would put the description outside the character folder.
        if (files.status(targetPath).exists) {
            log.append(
                QStringLiteral("Cannot convert %1, %2 already exist.").arg(shownName, displayName(target)));
            continue;
        }
        log.append(convertLegacyIni(emotes, path));
        if (emotes.isEmpty())
            continue;
        log.append(QStringLiteral("Converting %1...").arg(shownName));
        const QString reason = writeTomlFile(descriptionDocument(emotes), targetPath);
        if (!reason.isEmpty()) {
            log.append(formatLogLine(
                LogLevel::Error, QStringLiteral("cannot write %1: %2").arg(displayName(target), reason)));
        }
    }
    return log;
}
