#include "convert/tomlvalue.h"

#include <QJsonArray>

#include <cmath>
#include <limits>

namespace {

std::int64_t toInteger(double number)
{
    // Whole numbers are stored as 32-bit integers; anything outside that
    // range (infinity included) stands as the smallest one.
    constexpr double lowest = std::numeric_limits<std::int32_t>::min();
    constexpr double highest = std::numeric_limits<std::int32_t>::max();
    if (!(number >= lowest && number <= highest))
        return std::numeric_limits<std::int32_t>::min();
    return std::int32_t(std::trunc(number));
}

TomlArray jsonArrayToToml(const QJsonArray &array)
{
    TomlArray result;
    result.reserve(std::size_t(array.size()));
    for (const QJsonValue &element : array) {
        TomlValue converted = jsonValueToToml(element);
        if (!converted.is_uninitialized())
            result.push_back(std::move(converted));
    }
    return result;
}

} // namespace

TomlValue jsonValueToToml(const QJsonValue &value)
{
    switch (value.type()) {
    case QJsonValue::Bool:
        return TomlValue(value.toBool());
    case QJsonValue::Double: {
        const double number = value.toDouble();
        if (std::floor(std::fabs(number)) == std::fabs(number))
            return TomlValue(toInteger(number));
        return TomlValue(number);
    }
    case QJsonValue::String:
        return TomlValue(value.toString().toStdString());
    case QJsonValue::Array:
        return TomlValue(jsonArrayToToml(value.toArray()));
    case QJsonValue::Object:
        return TomlValue(jsonObjectToToml(value.toObject()));
    case QJsonValue::Null:
    case QJsonValue::Undefined:
        break;
    }
    return TomlValue();
}

TomlTable jsonObjectToToml(const QJsonObject &object)
{
    TomlTable table;
    for (auto it = object.constBegin(); it != object.constEnd(); ++it) {
        TomlValue converted = jsonValueToToml(it.value());
        if (!converted.is_uninitialized())
            table.emplace(it.key().toStdString(), std::move(converted));
    }
    return table;
}
