#pragma once

#include <QString>

// Why a file operation failed, as a value: the system's error number where
// the system gave the reason (ENOSPC, EACCES, ENAMETOOLONG...), 0 where the
// seam refused on its own (a link where a file is meant, a change that
// cannot be recorded), and the text a log line shows. Callers tell causes
// apart by the code and show the text.
struct FileError
{
    int code = 0;
    QString text;

    FileError() = default;
    // The seam's own refusal, in its own words.
    FileError(const QString &refusal)
        : text(refusal)
    {
    }
    FileError(int systemCode, const QString &systemText)
        : code(systemCode)
        , text(systemText)
    {
    }

    bool isEmpty() const { return text.isEmpty(); }
    operator QString() const { return text; }
};
