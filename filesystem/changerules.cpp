#include "filesystem/changerules.h"

#include "filesystem/change.h"
#include "filesystem/clientroot.h"
#include "filesystem/entrystatus.h"
#include "filesystem/filesystem.h"
#include "filesystem/parentfolder.h"
#include "filesystem/posixfile.h"

#include <cerrno>
#include <climits>

namespace ChangeRules {

bool fits(const QString &path, FileError *why)
{
    const QByteArray native = PosixFile::native(path);
    const int slash = native.lastIndexOf('/');
    if (native.size() - slash - 1 > NAME_MAX || native.size() >= PATH_MAX) {
        *why = PosixFile::systemError(ENAMETOOLONG);
        return false;
    }
    return true;
}

bool allows(const FileSystem &files, const Change &change, FileError *why)
{
    const QString folder = parentFolder(change.path);
    switch (change.kind) {
    case Change::Move: {
        if (!fits(change.other, why) || !files.mayChangeIn(folder, why)
            || !files.mayChangeIn(parentFolder(change.other), why))
            return false;
        const EntryStatus moving = files.status(change.path);
        if (moving.isFolder() && !moving.isLink && folder != parentFolder(change.other))
            return files.mayChangeIn(change.path, why);
        return true;
    }
    case Change::Write:
        return fits(change.path, why) && files.mayChangeIn(folder, why)
            && mayWriteOver(files.status(change.path), why);
    case Change::MakeFolder:
        return fits(change.path, why) && files.mayChangeIn(folder, why);
    case Change::Delete:
        if (files.client() && !change.other.isEmpty()) {
            FileError outside;
            if (!files.client()->reaches(change.other, true, &outside)) {
                *why = FileError(outside.code,
                    QStringLiteral("its twin cannot be reached inside the client to restore it from (%1)")
                        .arg(outside.text));
                return false;
            }
        }
        return files.mayChangeIn(folder, why);
    case Change::RemoveFolder:
        return files.mayChangeIn(folder, why);
    }
    return true;
}

bool mayWriteOver(const EntryStatus &existing, FileError *why)
{
    if (existing.isLink) {
        *why = FileError(QStringLiteral("it is a link"));
        return false;
    }
    if (existing.exists && !existing.isFile()) {
        *why = FileError(QStringLiteral("not a regular file"));
        return false;
    }
    return true;
}

bool crossesFileSystems(const EntryStatus &itself)
{
    return itself.isFile() && !itself.isLink;
}

} // namespace ChangeRules
