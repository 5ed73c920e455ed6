#include "model/jsonobjectbuilder.h"

#include <QJsonArray>
#include <QSharedData>

struct JsonObjectBuilder::Body : QSharedData
{
    QJsonObject object;
};

JsonObjectBuilder::JsonObjectBuilder()
    : d(new Body)
{
}

JsonObjectBuilder::JsonObjectBuilder(const JsonObjectBuilder &other) = default;
JsonObjectBuilder &JsonObjectBuilder::operator=(const JsonObjectBuilder &other) = default;
JsonObjectBuilder::~JsonObjectBuilder() = default;

void JsonObjectBuilder::detach()
{
    d.detach();
}

void JsonObjectBuilder::insert(const QString &key, const QJsonValue &value)
{
    detach();
    d->object.insert(key, value);
}

QJsonObject JsonObjectBuilder::object() const
{
    return d->object;
}

void insertIfSet(JsonObjectBuilder &builder, const QString &key, const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        if (!value.toBool())
            return;
        break;
    case QJsonValue::String:
        if (value.toString().isEmpty())
            return;
        break;
    case QJsonValue::Array:
        if (value.toArray().isEmpty())
            return;
        break;
    case QJsonValue::Object:
        if (value.toObject().isEmpty())
            return;
        break;
    case QJsonValue::Double:
    case QJsonValue::Null:
        break;
    case QJsonValue::Undefined:
        return;
    }
    builder.insert(key, value);
}
