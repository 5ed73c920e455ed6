#pragma once

#include <QByteArray>

namespace GsSetting {

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

} // namespace GsSetting
