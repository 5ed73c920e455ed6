#pragma once

// What the fuzz targets share: a scratch folder for the files they read, and
// the way they report a broken property. A report aborts, so libFuzzer keeps
// the input as a crash and prints where it is.

#include <QByteArray>
#include <QString>

namespace Fuzz {

// A folder of the process's own, made on first use, removed at exit.
QString scratchFolder();

// Replaces the file at `path` with `bytes`; false when it cannot.
bool writeFile(const QString &path, const QByteArray &bytes);

// Prints "property failed: <what>" and aborts.
[[noreturn]] void fail(const char *what, const QString &detail = QString());

inline void require(bool holds, const char *what, const QString &detail = QString())
{
    if (!holds)
        fail(what, detail);
}

} // namespace Fuzz
