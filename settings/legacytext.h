#pragma once

#include <QByteArray>
#include <QString>

// Legacy descriptions come from editors of every age: UTF-8 with or without
// a byte-order mark, or an 8-bit code page. Bytes that are valid UTF-8 are
// read as UTF-8; anything else is taken as Latin-1, as Qt's INI reader
// takes it.
namespace LegacyText {

bool isValidUtf8(const QByteArray &bytes);

// Whether bytes are read as UTF-8: they start with a UTF-8 byte-order mark,
// or they are valid UTF-8 throughout.
bool isUtf8(const QByteArray &bytes);

// The text of a legacy file's bytes, all of them (NUL bytes included). Bytes
// that start with a UTF-8 byte-order mark are UTF-8, as QSettings takes them:
// the mark is dropped and what is not UTF-8 becomes U+FFFD.
QString decode(const QByteArray &bytes);

} // namespace LegacyText
