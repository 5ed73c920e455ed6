#pragma once

// Reads written description bytes back with the TOML library's own parser,
// as JSON, so tests compare what a reader of the file would see.

#include <QByteArray>
#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

#include <map>
#include <sstream>
#include <toml.hpp>
#include <vector>

namespace TomlParseBack {

using Value = toml::basic_value<toml::discard_comments, std::map, std::vector>;

// A text of the document as it stands. QString::fromUtf8 takes a leading
// byte-order mark for a header and drops it; in a TOML text it is a character
// like any other.
inline QString text(const std::string &bytes)
{
    QString decoded = QString::fromStdString(bytes);
    if (bytes.rfind("\xEF\xBB\xBF", 0) == 0 && !decoded.startsWith(QChar(0xFEFF)))
        decoded.prepend(QChar(0xFEFF));
    return decoded;
}

inline QJsonValue toJson(const Value &value)
{
    switch (value.type()) {
    case toml::value_t::boolean:
        return value.as_boolean();
    case toml::value_t::integer:
        return double(value.as_integer());
    case toml::value_t::floating:
        return value.as_floating();
    case toml::value_t::string:
        return text(value.as_string().str);
    case toml::value_t::array: {
        QJsonArray array;
        for (const Value &item : value.as_array())
            array.append(toJson(item));
        return array;
    }
    case toml::value_t::table: {
        QJsonObject object;
        for (const auto &member : value.as_table())
            object.insert(text(member.first), toJson(member.second));
        return object;
    }
    default:
        return QJsonValue();
    }
}

// The document as JSON; an empty object, and the parser's reason in
// `*error`, when it does not parse (`*error` is emptied when it does).
inline QJsonObject parseToml(const QByteArray &bytes, QString *error)
{
    std::istringstream stream(bytes.toStdString());
    try {
        error->clear();
        return toJson(toml::parse<toml::discard_comments, std::map, std::vector>(stream)).toObject();
    } catch (const std::exception &failure) {
        *error = QString::fromUtf8(failure.what());
        return {};
    }
}

// The document as JSON; an empty object (and a warning) when it does not parse.
inline QJsonObject parseToml(const QByteArray &bytes)
{
    QString error;
    const QJsonObject document = parseToml(bytes, &error);
    if (!error.isEmpty())
        qWarning("written TOML does not parse: %s", qPrintable(error));
    return document;
}

} // namespace TomlParseBack
