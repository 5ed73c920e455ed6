#pragma once

#include <QtGlobal>

// What stands at a name. A dangling link exists (it occupies its name) but
// leads to nothing.
struct EntryStatus
{
    enum Type { Missing, File, Folder, Other };

    bool exists = false;
    bool isLink = false;
    Type type = Missing; // what the name leads to, links followed
    qint64 size = 0;
    quint64 device = 0;
    quint64 inode = 0;
    qint64 modified = 0; // nanoseconds
    quint32 mode = 0; // permission bits
    qint64 owner = -1;
    qint64 group = -1;

    bool isFile() const { return type == File; }
    bool isFolder() const { return type == Folder; }
};

// Two statuses name the same entry, unchanged: same file, size and time.
bool sameEntry(const EntryStatus &a, const EntryStatus &b);
