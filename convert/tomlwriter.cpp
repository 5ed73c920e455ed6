#include "convert/tomlwriter.h"

#include "convert/tomlvalue.h"

#include <QSaveFile>

QString writeTomlText(const TomlTable &table, const QString &path)
{
    QString error;
    const QByteArray bytes = formatTomlDocument(table, &error);
    if (!error.isEmpty())
        return error;

    // The save file lives beside the target and replaces it only once all
    // bytes are out; on any failure the target stays as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return file.errorString();
    if (file.write(bytes) != bytes.size()) {
        error = file.errorString();
        file.cancelWriting();
        return error;
    }
    if (!file.commit())
        return file.errorString();
    return QString();
}

QString writeTomlFile(const QJsonObject &document, const QString &path)
{
    return writeTomlText(jsonObjectToToml(document), path);
}
