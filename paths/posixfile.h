#pragma once

// Bare POSIX file work for the disk seam: descriptors that close themselves,
// reads that open nothing but regular files, and copies that never replace.

#include <QByteArray>
#include <QString>

#include <sys/stat.h>

namespace PosixFile {

constexpr qint64 chunkSize = 256 * 1024;

QString systemError(int code);
QString systemError();
QByteArray native(const QString &path);

// Closes a descriptor when it goes out of scope.
struct Descriptor
{
    int fd = -1;
    ~Descriptor();
};

// Opens a regular file for reading, and nothing else: a FIFO or a device
// would block the run or never end. Fills `info` with what was opened.
bool openRegular(const QByteArray &path, Descriptor &file, struct stat &info, QString *error);

// Reads up to `size` bytes, retrying short reads; -1 on an error.
qint64 readFully(int fd, char *buffer, qint64 size);
bool writeFully(int fd, const char *data, qint64 size);

// Reads to the end in bounded chunks, handing each one on; false (with the
// reason) when a read fails.
template<typename Take> bool readChunks(int fd, Take take, QString *error)
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

// Copies a regular file to a free name: into a temporary file beside the
// target, linked into place only once it is whole (a link never replaces an
// entry). With `durable`, the copy is synced and read back against its source
// before it is linked; with `sha3`, the bytes copied must have that digest.
bool copyBeside(
    const QByteArray &from, const QByteArray &to, bool durable, const QByteArray &sha3, QString *error);

// Moves a file to another file system: a proved copy first, then the source goes.
bool copyAcross(const QByteArray &from, const QByteArray &to, QString *error);

} // namespace PosixFile
