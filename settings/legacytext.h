#pragma once

#include <QByteArray>
#include <QString>

// Legacy descriptions come from editors of every age: UTF-8 with or without
// a byte-order mark, or an 8-bit code page. Bytes that are valid UTF-8 are
// read as UTF-8; anything else is taken as Latin-1, as Qt's INI reader
// takes it.
namespace LegacyText {

bool isValidUtf8(const QByteArray &bytes);

// Reads the file in bounded chunks; false when it cannot be opened.
bool isValidUtf8File(const QString &path);

// Whether the file is read as UTF-8: it starts with a UTF-8 byte-order mark,
// or it is valid UTF-8 throughout.
bool isUtf8File(const QString &path);
// The same for bytes in hand.
bool isUtf8(const QByteArray &bytes);

// The text of a legacy file's bytes, all of them (NUL bytes included). Bytes
// that start with a UTF-8 byte-order mark are UTF-8, as QSettings takes them:
// the mark is dropped and what is not UTF-8 becomes U+FFFD.
QString decode(const QByteArray &bytes);

} // namespace LegacyText
