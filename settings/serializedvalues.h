#pragma once

#include <QByteArray>

namespace GsSetting {

// An INI file's bytes with every value that QSettings would read as a
// serialized Qt value ("@Variant(...)", in any spelling its escapes allow)
// left empty. QSettings rebuilds such a value with QDataStream, and a
// hostile one asks it for memory without end: a legacy description holds
// text, and a damaged serialized value reads as nothing anyway. Any other
// byte stays as it is; `changed` says whether a value was emptied.
QByteArray withoutSerializedValues(const QByteArray &bytes, bool *changed);

} // namespace GsSetting
