#pragma once

#include "filesystem/fileerror.h"

#include <QJsonArray>
#include <QJsonObject>
#include <QJsonValue>
#include <QString>

class FileSystem;

// Option bits of the JSON file operations; other bits are ignored.
namespace JsonFileOptions {
enum : int {
    Text = 1, // JSON text; clear: Qt's binary JSON representation
    Indented = 2, // text written indented; clear: compact, one line
};
} // namespace JsonFileOptions

// The document at `path`: its array when the top level is one, otherwise its
// object. A missing, unreadable or malformed file, or anything but a regular
// file, gives an empty object.
QJsonValue readJsonFile(const FileSystem &files, const QString &path, int options);

// Writes an array or object (any other value as an empty object), creating
// the missing folders. The file is replaced whole or not at all: an
// interrupted or failed write leaves the old file, or no file, behind; a
// link is never written through. Returns why it failed, or nothing.
FileError writeJsonFile(FileSystem &files, const QJsonValue &value, const QString &path, int options);

// Appends entry["data"] to `list` when entry["name"] is exactly "scenario"
// and the data object is not empty.
void collectScenarioData(QJsonArray &list, const QJsonObject &entry);
