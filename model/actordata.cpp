#include "model/actordata.h"

#include "model/jsonfile.h"
#include "model/jsonobjectbuilder.h"
#include "paths/actorpath.h"

#include <QJsonArray>

namespace CsActor {

namespace {

constexpr int fileOptions = JsonFileOptions::Text; // compact text

QString textOf(const QJsonObject &object, QLatin1String key, const QString &fallback = QString())
{
    const QJsonValue value = object.value(key);
    return value.isString() ? value.toString() : fallback;
}

} // namespace

ActorData::ActorData(const ReadContext &client, const QString &actorName)
    : name(actorName)
{
    const QJsonObject object
        = readJsonFile(client.files, actorDataFilePath(client, name).path, fileOptions).toObject();
    shout_name = textOf(object, QLatin1String("shout_name"), QStringLiteral("default"));
    chatbox_name = textOf(object, QLatin1String("chatbox_name"));
    position_name = textOf(object, QLatin1String("position_name"));

    presets.clear();
    const QJsonArray list = object.value(QLatin1String("presets")).toArray();
    for (const QJsonValue &element : list)
        setPreset(ActorPreset(element.toObject()));
    if (presets.isEmpty()) {
        ActorPreset preset;
        preset.setDisplayName(name);
        setPreset(preset);
    }
}

FileError ActorData::save(FileSystem &files, const QString &client) const
{
    QJsonArray list;
    for (const ActorPreset &preset : presets)
        list.append(preset.toJson());

    JsonObjectBuilder builder;
    insertIfSet(builder, QStringLiteral("presets"), list);
    insertIfSet(builder, QStringLiteral("shout_name"), shout_name);
    insertIfSet(builder, QStringLiteral("chatbox_name"), chatbox_name);
    insertIfSet(builder, QStringLiteral("position_name"), position_name);
    return writeJsonFile(files, builder.object(), actorDataFilePath({files, client}, name).path, fileOptions);
}

void ActorData::setPreset(const ActorPreset &preset)
{
    const QString wanted = preset.name().toLower();
    for (ActorPreset &existing : presets) {
        if (existing.name().toLower() == wanted) {
            existing = preset;
            return;
        }
    }
    presets.append(preset);
}

} // namespace CsActor
