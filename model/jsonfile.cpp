#include "model/jsonfile.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonDocument>
#include <QSaveFile>

namespace {

QJsonDocument parse(const QByteArray &bytes, int options)
{
    if (options & JsonFileOptions::Text)
        return QJsonDocument::fromJson(bytes);
    // Qt keeps reading its old binary form for files written by earlier versions.
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return QJsonDocument::fromBinaryData(bytes, QJsonDocument::Validate);
    QT_WARNING_POP
}

QByteArray serialise(const QJsonDocument &document, int options)
{
    if (options & JsonFileOptions::Text)
        return document.toJson(
            (options & JsonFileOptions::Indented) ? QJsonDocument::Indented : QJsonDocument::Compact);
    QT_WARNING_PUSH
    QT_WARNING_DISABLE_DEPRECATED
    return document.toBinaryData();
    QT_WARNING_POP
}

} // namespace

QJsonValue readJsonFile(const QString &path, int options)
{
    QFile file(path);
    QJsonDocument document;
    if (file.open(QIODevice::ReadOnly))
        document = parse(file.readAll(), options);
    if (document.isArray())
        return document.array();
    return document.object();
}

void writeJsonFile(const QJsonValue &value, const QString &path, int options)
{
    const QJsonDocument document
        = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    QDir().mkpath(QFileInfo(path).absolutePath());

    // Written beside the target and renamed over it, so a run killed mid-write
    // never leaves a truncated file.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    const QByteArray bytes = serialise(document, options);
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return;
    }
    file.commit();
}

void collectScenarioData(QJsonArray &list, const QJsonObject &entry)
{
    const QJsonObject data = entry.value(QLatin1String("data")).toObject();
    if (entry.value(QLatin1String("name")).toString() == QLatin1String("scenario") && !data.isEmpty())
        list.append(data);
}
