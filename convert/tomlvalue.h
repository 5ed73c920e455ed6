#pragma once

// The TOML side of a description. This header pulls in the TOML library, so
// only the writer and its tests include it.

#include "filesystem/fileerror.h"

#include <QByteArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <map>
#include <toml.hpp>
#include <vector>

class FileSystem;

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

// The bytes of a written description: the table serialised (width 80, float
// precision 17) and laid out; when the library wrote a text over several
// lines, a quoted key or bytes that are no UTF-8, the text is read back with
// the library and compared with the table. Empty bytes, and a short reason in
// `*error`, when the library fails or would hang (a key of 75 characters), or
// when the text would not read back as the table; `*error` is emptied on
// success.
QByteArray formatTomlDocument(const TomlTable &table, FileError *error);

// Writes the table's bytes to `path` in one piece. Returns an empty text on
// success, otherwise why nothing was written: the text could not be made or
// the file could not be saved.
FileError writeTomlText(FileSystem &files, const TomlTable &table, const QString &path);
