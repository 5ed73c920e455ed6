#include "convert/tomlwriter.h"

#include "convert/tomllayout.h"
#include "convert/tomlvalue.h"

#include "paths/filesystem.h"

#include <exception>

QString writeTomlText(const TomlTable &table, const QString &path)
{
    QByteArray bytes;
    try {
        bytes = layoutTomlText(toml::format(TomlValue(table), 80, 17));
    } catch (const std::exception &) {
        return QStringLiteral("the description cannot be laid out as TOML");
    }
    QString error;
    fileSystem().writeDocument(path, bytes, &error);
    return error;
}

QString writeTomlFile(const QJsonObject &document, const QString &path)
{
    return writeTomlText(jsonObjectToToml(document), path);
}
