#include "model/actordescription.h"

#include "model/jsonobjectbuilder.h"

#include <QJsonArray>

namespace CsActor {

void ActorDescription::readJson(const QJsonObject &object)
{
    scenario.clear();
    const QJsonArray list = object.value(QLatin1String("scenario")).toArray();
    for (const QJsonValue &element : list)
        scenario.append(Emote::fromJson(element.toObject()));
}

QJsonObject ActorDescription::toJson() const
{
    QJsonArray list;
    for (const Emote &emote : scenario)
        list.append(emote.toJson());
    JsonObjectBuilder builder;
    insertIfSet(builder, QStringLiteral("scenario"), list);
    return builder.object();
}

} // namespace CsActor
