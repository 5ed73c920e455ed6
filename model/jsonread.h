#pragma once

#include <QJsonValue>
#include <QString>

// How the records take a JSON value, whatever it holds: a wrong type gives the
// field's default and nothing is reported.
namespace JsonRead {

// A string's text, else empty.
QString text(const QJsonValue &value);
// True only for the JSON value true.
bool flag(const QJsonValue &value);
// A number with a whole value within 32 bits, else 0.
int integer(const QJsonValue &value);

} // namespace JsonRead
