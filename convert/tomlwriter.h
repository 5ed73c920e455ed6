#pragma once

#include "filesystem/fileerror.h"
#include "model/legacyemote.h"

#include <QByteArray>
#include <QJsonObject>
#include <QList>
#include <QString>

class FileSystem;

// Writes a description document as a TOML file: UTF-8 without a byte-order
// mark, CR LF line ends, a space after each separating comma and an empty
// line before each "[[...]]" header. The file is replaced atomically: it
// holds either its old or its new content, never a part. Nothing is written
// when the file cannot be saved, for instance when its folder does not exist,
// or when the text would not read back as the document. Returns no error
// (an empty one) on success, otherwise the reason.
FileError writeTomlFile(FileSystem &files, const QJsonObject &document, const QString &path);

// The bytes writeTomlFile would write for the description that the legacy
// emotes become, made without going through JSON. Empty, with the reason in
// `*error`, when no text can be written.
QByteArray formatLegacyDescription(const QList<CsActor::LegacyEmote> &emotes, FileError *error);
