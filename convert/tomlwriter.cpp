#include "convert/tomlwriter.h"

#include "convert/tomlvalue.h"

#include "filesystem/filesystem.h"
#include "filesystem/filesystemscope.h"

FileError writeTomlText(const TomlTable &table, const QString &path)
{
    FileError error;
    const QByteArray bytes = formatTomlDocument(table, &error);
    if (!error.isEmpty())
        return error;
    fileSystem().writeDocument(path, bytes, &error);
    return error;
}

FileError writeTomlFile(const QJsonObject &document, const QString &path)
{
    return writeTomlText(jsonObjectToToml(document), path);
}
