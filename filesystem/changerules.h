#pragma once

#include "filesystem/fileerror.h"

#include <QString>

class FileSystem;
struct Change;

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

} // namespace ChangeRules
