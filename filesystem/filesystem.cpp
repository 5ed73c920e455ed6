#include "filesystem/filesystem.h"

#include "filesystem/changerules.h"
#include "filesystem/digest.h"
#include "filesystem/parentfolder.h"
#include "filesystem/posixfile.h"

#include <cerrno>

template<typename Operation>
bool FileSystem::apply(const Change &change, FileError *error, Operation operation)
{
    // Refused alike on the disk and in a plan, before anything is recorded.
    if (!ChangeRules::allows(*this, change, error))
        return false;
    FileError refused;
    if (m_observer && !m_observer->aboutToChange(change, &refused)) {
        *error = FileError(refused.code,
            refused.isEmpty()
                ? QStringLiteral("the change cannot be recorded in the journal")
                : QStringLiteral("the change cannot be recorded in the journal: %1").arg(refused.text));
        return false;
    }
    const bool done = operation();
    if (m_observer) {
        if (done)
            m_observer->changed(change);
        else
            m_observer->changeFailed(change);
    }
    return done;
}

bool FileSystem::makeFolder(const QString &path, FileError *error)
{
    Change change;
    change.kind = Change::MakeFolder;
    change.path = path;
    return apply(change, error, [&] { return doMakeFolder(path, error); });
}

bool FileSystem::makePath(const QString &path, FileError *error)
{
    const EntryStatus here = status(path);
    if (here.isFolder())
        return true;
    if (here.exists) {
        *error = PosixFile::systemError(EEXIST);
        return false;
    }
    const QString parent = parentFolder(path);
    if (parent == path || !makePath(parent, error))
        return false;
    return makeFolder(path, error);
}

bool FileSystem::move(const QString &from, const QString &to, FileError *error)
{
    Change change;
    change.kind = Change::Move;
    change.path = from;
    change.other = to;
    return apply(change, error, [&] { return doMove(from, to, error); });
}

bool FileSystem::removeCompared(
    const QString &path, const QString &twin, const ComparedSource &seen, FileError *error)
{
    Change change;
    change.kind = Change::Delete;
    change.path = path;
    change.other = twin;
    change.sha3 = seen.sha3;
    change.size = seen.content.size;
    change.attributes.known = true;
    change.attributes.mode = seen.content.mode;
    change.attributes.modified = seen.content.modified;
    change.attributes.owner = seen.content.owner;
    change.attributes.group = seen.content.group;
    return apply(change, error, [&] { return doRemove(path, seen, error); });
}

bool FileSystem::writeDocument(const QString &path, const QByteArray &bytes, FileError *error)
{
    return writeDocument(path, bytes, sha3(bytes), error);
}

bool FileSystem::writeDocument(
    const QString &path, const QByteArray &bytes, const QByteArray &digest, FileError *error)
{
    Change change;
    change.kind = Change::Write;
    change.path = path;
    change.sha3 = digest;
    return apply(change, error, [&] { return doWrite(path, bytes, error); });
}

bool FileSystem::removeEmptyFolder(const QString &path, FileError *error)
{
    Change change;
    change.kind = Change::RemoveFolder;
    change.path = path;
    return apply(change, error, [&] { return doRemoveFolder(path, error); });
}

bool FileSystem::copyFile(const QString &from, const QString &to, const QByteArray &digest,
    const FileAttributes &attributes, FileError *error)
{
    Change change;
    change.kind = Change::Write;
    change.path = to;
    change.sha3 = digest;
    change.attributes = attributes;
    return apply(change, error, [&] { return doCopy(from, to, digest, attributes, error); });
}

bool FileSystem::mayChangeIn(const QString &, FileError *) const
{
    return true;
}

bool FileSystem::reaches(const QString &, FileError *) const
{
    return true;
}
