#pragma once

#include <QByteArray>
#include <QString>

// A name as a log line may show it: control characters (C0, DEL, C1) are
// written as "\xNN", so no name can forge a line or a terminal sequence.
QString displayName(const QString &name);

// Raw file-name bytes that are not valid text: printable ASCII as it is,
// every other byte as "\xNN".
QString displayBytes(const QByteArray &bytes);
