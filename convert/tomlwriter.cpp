#include "convert/tomlwriter.h"

#include "convert/tomlvalue.h"

#include "filesystem/filesystem.h"
#include "filesystem/filesystemscope.h"

QString writeTomlText(const TomlTable &table, const QString &path)
{
    QString error;
    const QByteArray bytes = formatTomlDocument(table, &error);
    if (!error.isEmpty())
        return error;
    FileError written;
    fileSystem().writeDocument(path, bytes, &written);
    return written.text;
}

QString writeTomlFile(const QJsonObject &document, const QString &path)
{
    return writeTomlText(jsonObjectToToml(document), path);
}
