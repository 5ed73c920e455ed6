#pragma once

#include <QExplicitlySharedDataPointer>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

// Holds the object a writer assembles. Copies share one body until one of
// them changes it; the change then goes to a private copy.
class JsonObjectBuilder
{
public:
    JsonObjectBuilder();
    JsonObjectBuilder(const JsonObjectBuilder &other);
    JsonObjectBuilder &operator=(const JsonObjectBuilder &other);
    ~JsonObjectBuilder();

    // Sets `key`, replacing an earlier value.
    void insert(const QString &key, const QJsonValue &value);
    QJsonObject object() const;

private:
    struct Body;
    void detach();

    QExplicitlySharedDataPointer<Body> d;
};

// Inserts `key` unless `value` is a default: false, an empty text, an empty
// array or an empty object. Numbers (0 included) and null are always inserted.
void insertIfSet(JsonObjectBuilder &builder, const QString &key, const QJsonValue &value);
