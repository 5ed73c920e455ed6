#pragma once

#include "filesystem/change.h"
#include "filesystem/entrystatus.h"

#include <QString>

// What the record of a deleted duplicate asks for that its restore does not
// give, as a log line names it ("the set-user-ID bit and the owner and group
// (0:0)"); empty when nothing is withheld. A restore never sets a set-id or
// sticky bit, and its copy takes its twin's owner and group: a journal
// travels with its client, so what it says of rights is a stranger's word.
QString withheldRights(const FileAttributes &recorded, const EntryStatus &twin);
