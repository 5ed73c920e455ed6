#include "model/jsonfile.h"

#include "paths/filesystem.h"

#include <QFileInfo>
#include <QJsonDocument>

namespace {

QJsonDocument parse(const QByteArray &bytes)
{
    return QJsonDocument::fromJson(bytes);
}

QByteArray serialise(const QJsonDocument &document, int options)
{
    return document.toJson(
        (options & JsonFileOptions::Indented) ? QJsonDocument::Indented : QJsonDocument::Compact);
}

} // namespace

QJsonValue readJsonFile(const QString &path, int /*options*/)
{
    QByteArray bytes;
    FileError error;
    QJsonDocument document;
    if (fileSystem().readFile(path, &bytes, &error))
        document = parse(bytes);
    if (document.isArray())
        return document.array();
    return document.object();
}

QString writeJsonFile(const QJsonValue &value, const QString &path, int options)
{
    const QJsonDocument document
        = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    FileError error;
    FileSystem &files = fileSystem();
    if (!files.makePath(QFileInfo(path).absolutePath(), &error)
        || !files.writeDocument(path, serialise(document, options), &error))
        return error;
    return QString();
}

void collectScenarioData(QJsonArray &list, const QJsonObject &entry)
{
    const QJsonObject data = entry.value(QLatin1String("data")).toObject();
    if (entry.value(QLatin1String("name")).toString() == QLatin1String("scenario") && !data.isEmpty())
        list.append(data);
}
