#include "convert/convertlegacyfiles.h"

#include "convert/convertlegacyini.h"
#include "convert/tomlwriter.h"
#include "model/actordescription.h"
#include "paths/actorpath.h"

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
    QList<CsActor::LegacyEmote> emotes;
    for (const QString &path : iniPaths) {
        const QFileInfo info(path);
        const QString folder = QFileInfo(info.canonicalPath()).fileName();
        const QString target = info.completeBaseName() + QStringLiteral(".toml");
        const QString targetPath = actorFilePath(folder, target).path;

        // A link counts as taken even when it points nowhere: writing through
        // it would put the description outside the character folder.
        const QFileInfo targetInfo(targetPath);
        if (targetInfo.exists() || targetInfo.isSymLink()) {
            log.append(QStringLiteral("Cannot convert %1, %2 already exist.").arg(info.fileName(), target));
            continue;
        }
        convertLegacyIni(emotes, path);
        if (emotes.isEmpty())
            continue;
        log.append(QStringLiteral("Converting %1...").arg(info.fileName()));
        writeTomlFile(descriptionDocument(emotes), targetPath);
    }
    return log;
}
