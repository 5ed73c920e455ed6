#include "convert/tomlwriter.h"

#include "convert/tomllayout.h"
#include "convert/tomlvalue.h"

#include <QSaveFile>

#include <exception>

void writeTomlText(const TomlTable &table, const QString &path)
{
    QByteArray bytes;
    try {
        bytes = layoutTomlText(toml::format(TomlValue(table), 80, 17));
    } catch (const std::exception &) {
        return;
    }

    // The save file lives beside the target and replaces it only once all
    // bytes are out; on any failure the target stays as it was.
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return;
    }
    file.commit();
}

void writeTomlFile(const QJsonObject &document, const QString &path)
{
    writeTomlText(jsonObjectToToml(document), path);
}
