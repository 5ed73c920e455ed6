#pragma once

#include "filesystem/fileerror.h"

#include <QString>

class FileSystem;
struct Change;
struct EntryStatus;

// What may be changed, decided in this one place for the disk and for a dry
// run's plan alike, so that a preview never promises what the run will not
// do. Each rule is asked of the seam before the change is recorded or made.
namespace ChangeRules {

// A name the file system can hold (at most NAME_MAX bytes) in a path it can
// reach (shorter than PATH_MAX bytes).
bool fits(const QString &path, FileError *why);

// Whether `change` may be made through `files`: every name it creates fits;
// every folder whose entries it changes may be written; a folder that moves
// to another folder may be written itself (its ".." changes with it); a
// duplicate is deleted only where an undo can restore it, from a twin inside
// the seam's client.
bool allows(const FileSystem &files, const Change &change, FileError *why);

// Whether a document may be written where `existing` stands: on a free name
// or over a regular file, never through a link or over anything else.
bool mayWriteOver(const EntryStatus &existing, FileError *why);

// Whether an entry (`itself`, a link not followed) may move to another file
// system: only a regular file, which is copied there. A link lives on its
// folder's file system, whatever it points to, and a folder is never copied.
bool crossesFileSystems(const EntryStatus &itself);

} // namespace ChangeRules
