#pragma once

#include "filesystem/entrystatus.h"
#include "filesystem/fileerror.h"

#include <QByteArray>

enum class FileComparison {
    Identical,
    Different,
    Unreadable, // one side is no regular file, or could not be read to its end
};

// What a comparison saw of its source, so that only what was compared is
// ever deleted as a duplicate.
struct ComparedSource
{
    EntryStatus entry; // the name itself (a link is not followed)
    EntryStatus content; // what it leads to
    QByteArray sha3;
    FileError problem; // Unreadable: the system's reason, where it gave one
    bool sameFile = false; // Unreadable: the two names lead to one file (a link, a hard link)
};
