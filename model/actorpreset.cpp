#include "model/actorpreset.h"

#include "model/jsonobjectbuilder.h"
#include "model/keyname.h"

#include <QSharedData>

namespace CsActor {

namespace {

const QString defaultName = QStringLiteral("default");

QString textOr(const QJsonObject &object, QLatin1String key, const QString &current)
{
    const QJsonValue value = object.value(key);
    return value.isString() ? value.toString() : current;
}

} // namespace

PresetRules PresetRules::fromJson(const QJsonObject &object)
{
    PresetRules rules;
    rules.blip_once = object.value(keyName(QStringLiteral("BlipOnce"))) == QJsonValue(true);
    rules.uppercase = object.value(keyName(QStringLiteral("Uppercase"))) == QJsonValue(true);
    return rules;
}

QJsonObject PresetRules::toJson() const
{
    JsonObjectBuilder builder;
    insertIfSet(builder, keyName(QStringLiteral("BlipOnce")), blip_once);
    insertIfSet(builder, keyName(QStringLiteral("Uppercase")), uppercase);
    return builder.object();
}

struct ActorPreset::Body : QSharedData
{
    QString name = defaultName;
    PresetRules rules;
    QString blip_file;
    QString color_name;
    QString chatbox_name;
    QString display_name;
    QString position_name;
    QString shout_name;
};

ActorPreset::ActorPreset()
    : d(new Body)
{
}

ActorPreset::ActorPreset(const QJsonObject &object)
    : ActorPreset()
{
    readJson(object);
}

ActorPreset::ActorPreset(const ActorPreset &other) = default;
ActorPreset &ActorPreset::operator=(const ActorPreset &other) = default;
ActorPreset::~ActorPreset() = default;

void ActorPreset::readJson(const QJsonObject &object)
{
    Body &body = *d; // detaches once
    const QString current = body.name.isEmpty() ? defaultName : body.name;
    body.name = textOr(object, QLatin1String("name"), current).toLower();
    body.rules = PresetRules::fromJson(object.value(QLatin1String("rules")).toObject());
    body.blip_file = textOr(object, QLatin1String("blip_file"), body.blip_file);
    body.color_name = textOr(object, QLatin1String("color_name"), body.color_name);
    body.chatbox_name = textOr(object, QLatin1String("chatbox_name"), body.chatbox_name);
    body.display_name = textOr(object, QLatin1String("display_name"), body.display_name);
    body.position_name = textOr(object, QLatin1String("position_name"), body.position_name);
    body.shout_name = textOr(object, QLatin1String("shout_name"), body.shout_name);
}

QJsonObject ActorPreset::toJson() const
{
    JsonObjectBuilder builder;
    if (d->name != defaultName)
        insertIfSet(builder, QStringLiteral("name"), d->name);
    insertIfSet(builder, QStringLiteral("rules"), d->rules.toJson());
    insertIfSet(builder, QStringLiteral("blip_file"), d->blip_file);
    insertIfSet(builder, QStringLiteral("color_name"), d->color_name);
    insertIfSet(builder, QStringLiteral("chatbox_name"), d->chatbox_name);
    insertIfSet(builder, QStringLiteral("display_name"), d->display_name);
    insertIfSet(builder, QStringLiteral("position_name"), d->position_name);
    insertIfSet(builder, QStringLiteral("shout_name"), d->shout_name);
    return builder.object();
}

QString ActorPreset::name() const
{
    return d->name;
}
PresetRules ActorPreset::rules() const
{
    return d->rules;
}
QString ActorPreset::blipFile() const
{
    return d->blip_file;
}
QString ActorPreset::colorName() const
{
    return d->color_name;
}
QString ActorPreset::chatboxName() const
{
    return d->chatbox_name;
}
QString ActorPreset::displayName() const
{
    return d->display_name;
}
QString ActorPreset::positionName() const
{
    return d->position_name;
}
QString ActorPreset::shoutName() const
{
    return d->shout_name;
}

void ActorPreset::setName(const QString &name)
{
    d->name = name;
}
void ActorPreset::setRules(const PresetRules &rules)
{
    d->rules = rules;
}
void ActorPreset::setBlipFile(const QString &value)
{
    d->blip_file = value;
}
void ActorPreset::setColorName(const QString &value)
{
    d->color_name = value;
}
void ActorPreset::setChatboxName(const QString &value)
{
    d->chatbox_name = value;
}
void ActorPreset::setDisplayName(const QString &value)
{
    d->display_name = value;
}
void ActorPreset::setPositionName(const QString &value)
{
    d->position_name = value;
}
void ActorPreset::setShoutName(const QString &value)
{
    d->shout_name = value;
}

bool ActorPreset::isSharedWith(const ActorPreset &other) const
{
    return d.constData() == other.d.constData();
}

} // namespace CsActor
