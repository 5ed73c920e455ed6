#include "model/jsonfile.h"

#include "filesystem/filesystem.h"

#include <QFileInfo>
#include <QJsonDocument>
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
#include <QBinaryJson>
#endif

namespace {

QJsonDocument parse(const QByteArray &bytes, int options)
{
    if (options & JsonFileOptions::Text)
        return QJsonDocument::fromJson(bytes);
        // Qt keeps reading its old binary form for files written by earlier versions.
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QBinaryJson::fromBinaryData(bytes, QBinaryJson::Validate);
#else
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return QJsonDocument::fromBinaryData(bytes, QJsonDocument::Validate);
    QT_WARNING_POP
#endif
}

QByteArray serialise(const QJsonDocument &document, int options)
{
    if (options & JsonFileOptions::Text)
        return document.toJson(
            (options & JsonFileOptions::Indented) ? QJsonDocument::Indented : QJsonDocument::Compact);
#if QT_VERSION >= QT_VERSION_CHECK(6, 0, 0)
    return QBinaryJson::toBinaryData(document);
#else
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return document.toBinaryData();
    QT_WARNING_POP
#endif
}

} // namespace

QJsonValue readJsonFile(const FileSystem &files, const QString &path, int options)
{
    QByteArray bytes;
    FileError error;
    QJsonDocument document;
    if (files.readFile(path, &bytes, &error))
        document = parse(bytes, options);
    if (document.isArray())
        return document.array();
    return document.object();
}

FileError writeJsonFile(FileSystem &files, const QJsonValue &value, const QString &path, int options)
{
    const QJsonDocument document
        = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    FileError error;
    if (!files.makePath(QFileInfo(path).absolutePath(), &error)
        || !files.writeDocument(path, serialise(document, options), &error))
        return error;
    return FileError();
}

void collectScenarioData(QJsonArray &list, const QJsonObject &entry)
{
    const QJsonObject data = entry.value(QLatin1String("data")).toObject();
    if (entry.value(QLatin1String("name")).toString() == QLatin1String("scenario") && !data.isEmpty())
        list.append(data);
}
