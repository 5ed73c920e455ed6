#include "filesystem/entrystatus.h"

bool sameEntry(const EntryStatus &a, const EntryStatus &b)
{
    return a.exists == b.exists && a.type == b.type && a.device == b.device && a.inode == b.inode
        && a.size == b.size && a.modified == b.modified;
}
