#pragma once

#include <QString>

// Why a file operation failed, as a value: the system's error number where
// the system gave the reason (ENOSPC, EACCES, ENAMETOOLONG...), 0 where the
// seam refused on its own (a link where a file is meant, a change that
// cannot be recorded), and the text a log line shows. Callers tell causes
// apart by the code and show the text.
struct FileError
{
    enum class Kind {
        None, // no failure
        System, // the system refused: `code` is its error number
        Refusal, // the seam refused on its own, in its own words
    };

    Kind kind = Kind::None;
    int code = 0;
    QString text;

    FileError() = default;
    // The seam's own refusal. Explicit, so that no bare text becomes an error
    // by accident.
    explicit FileError(const QString &refusal)
        : kind(Kind::Refusal)
        , text(refusal)
    {
    }
    // A failure with the system's error number, or none (0) for the seam's
    // own words about one.
    FileError(int systemCode, const QString &systemText)
        : kind(systemCode != 0 ? Kind::System : Kind::Refusal)
        , code(systemCode)
        , text(systemText)
    {
    }

    bool isEmpty() const { return text.isEmpty(); }
};
