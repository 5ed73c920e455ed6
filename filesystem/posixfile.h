#pragma once

// Bare POSIX file work for the disk seam: descriptors that close themselves,
// reads that open nothing but regular files, and copies that never replace.
// Every call names its file as a folder descriptor and a name in it: the
// plain disk passes AT_FDCWD and the whole path, a client's confined view a
// folder it resolved inside the client and the entry's own name.

#include "filesystem/change.h"
#include "filesystem/fileerror.h"

#include <QByteArray>
#include <QString>

#include <fcntl.h>
#include <sys/stat.h>

namespace PosixFile {

constexpr qint64 chunkSize = 256 * 1024;

// The system's reason, code and text: for `code`, or for errno as it stands.
FileError systemError(int code);
FileError systemError();
QByteArray native(const QString &path);

// Closes a descriptor when it goes out of scope.
struct Descriptor
{
    int fd = -1;
    Descriptor() = default;
    explicit Descriptor(int owned)
        : fd(owned)
    {
    }
    Descriptor(const Descriptor &) = delete;
    Descriptor &operator=(const Descriptor &) = delete;
    ~Descriptor();
    void reset(int owned = -1);
};

// A file named by a folder descriptor and a name in it. `follow` says whether
// a link standing at the name may be followed: the plain disk follows links
// where a path means what it leads to; a confined view never does, as it has
// already followed, inside the client, every link it may.
struct At
{
    int folder = AT_FDCWD;
    QByteArray name;
    bool follow = true;

    int statFlags() const { return follow ? 0 : AT_SYMLINK_NOFOLLOW; }
    int openFlags() const { return follow ? 0 : O_NOFOLLOW; }
};

using Attributes = FileAttributes;

// Opens a regular file for reading, and nothing else: a FIFO or a device
// would block the run or never end. Fills `info` with what was opened.
bool openRegular(const At &file, Descriptor &opened, struct stat &info, FileError *error);

// Reads up to `size` bytes, retrying short reads; -1 on an error.
qint64 readFully(int fd, char *buffer, qint64 size);
bool writeFully(int fd, const char *data, qint64 size);

// Reads to the end in bounded chunks, handing each one on; false (with the
// reason) when a read fails.
template<typename Take> bool readChunks(int fd, Take take, FileError *error)
{
    QByteArray chunk(int(chunkSize), Qt::Uninitialized);
    for (;;) {
        const qint64 got = readFully(fd, chunk.data(), chunkSize);
        if (got < 0) {
            *error = systemError();
            return false;
        }
        if (got == 0)
            return true;
        take(chunk.constData(), got);
    }
}

// A temporary name beside `name` (its folder part kept), new for every call,
// short enough beside any name and recognisable as Veltra's own.
QByteArray temporaryBeside(const QByteArray &name);
// Whether a name is one `temporaryBeside` makes: what a killed run left.
bool isTemporaryName(const QByteArray &name);

// Copies a regular file to a free name: into a temporary file beside the
// target, linked into place only once it is whole (a link never replaces an
// entry). With `durable`, the copy is synced and read back against its source
// before it is linked; with `sha3`, the bytes copied must have that digest.
// The copy gets the source's owner and group where the user may set them.
// With known `attributes`, it gets their permission bits (never a set-id or
// sticky bit) and time; otherwise the source's mode and times.
bool copyBeside(const At &from, const At &to, bool durable, const QByteArray &sha3,
    const Attributes &attributes, FileError *error);

// Moves a file to another file system: a proved copy first, then the source goes.
bool copyAcross(const At &from, const At &to, FileError *error);

} // namespace PosixFile
