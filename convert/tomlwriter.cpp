#include "convert/tomlwriter.h"

#include "convert/tomlvalue.h"

#include "filesystem/filesystem.h"

FileError writeTomlText(FileSystem &files, const TomlTable &table, const QString &path)
{
    FileError error;
    const QByteArray bytes = formatTomlDocument(table, &error);
    if (!error.isEmpty())
        return error;
    files.writeDocument(path, bytes, &error);
    return error;
}

FileError writeTomlFile(FileSystem &files, const QJsonObject &document, const QString &path)
{
    return writeTomlText(files, jsonObjectToToml(document), path);
}
