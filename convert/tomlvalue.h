#pragma once

// The TOML side of a description. This header pulls in the TOML library, so
// only the writer and its tests include it.

#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <map>
#include <toml.hpp>
#include <vector>

// Tables iterate in ascending key order, so one description always gives the
// same bytes.
using TomlValue = toml::basic_value<toml::discard_comments, std::map, std::vector>;
using TomlTable = TomlValue::table_type;
using TomlArray = TomlValue::array_type;

// A JSON object as a TOML table; members that have no TOML form (null,
// undefined) are left out.
TomlTable jsonObjectToToml(const QJsonObject &object);

// One JSON value as a TOML value: a whole number becomes a 32-bit integer
// (-2147483648 when it does not fit), any other number a float. Null and
// undefined give the empty value.
TomlValue jsonValueToToml(const QJsonValue &value);

// Serialises the table (width 80, float precision 17), lays the text out and
// writes it to `path` in one piece. Nothing is written when the library
// fails or the file cannot be saved.
QString writeTomlText(const TomlTable &table, const QString &path);
