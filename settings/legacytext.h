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

// The text of a legacy file's bytes, all of them (NUL bytes included). Bytes
// that start with a UTF-8 byte-order mark are UTF-8, as QSettings takes them:
// the mark is dropped and what is not UTF-8 becomes U+FFFD.
QString decode(const QByteArray &bytes);

// The bytes of an INI file rewritten so that Qt 6's QSettings, which takes
// every byte as UTF-8, gives what Qt 5's QSettings gives for the original:
// names (section names and keys) byte by byte as Latin-1, and values as
// UTF-8 when `utf8` (each byte that is not UTF-8 as U+FFFD), else as Latin-1.
// The file is split into lines, names and values exactly as QSettings splits
// it; non-ASCII bytes and line breaks in names become "%XX" escapes, values
// are written in UTF-8, a non-ASCII byte after a backslash becomes a 'z'
// (both are skipped), and a byte-order mark is dropped (or, where Qt 5 reads
// it into the first key's name, escaped there). Everything else, escapes,
// quotes, comma lists and comments, stays as it was.
QByteArray utf8Ini(const QByteArray &bytes, bool utf8);

} // namespace LegacyText
