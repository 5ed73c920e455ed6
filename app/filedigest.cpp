#include "app/filedigest.h"

#include <QCryptographicHash>
#include <QFile>

namespace {

QByteArray digestOf(QFile &file)
{
    // Bounded chunks: comparing two large videos must not need their size in memory.
    constexpr qint64 chunkSize = 256 * 1024;
    QCryptographicHash hash(QCryptographicHash::Sha3_256);
    QByteArray chunk(chunkSize, Qt::Uninitialized);
    for (;;) {
        const qint64 read = file.read(chunk.data(), chunkSize);
        if (read < 0)
            return {};
        if (read == 0)
            break;
        hash.addData(chunk.constData(), int(read));
    }
    return hash.result();
}

} // namespace

QByteArray fileDigest(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return digestOf(file);
}

FileComparison compareFiles(const QString &source, const QString &target)
{
    if (source.isEmpty() || target.isEmpty())
        return FileComparison::Unreadable; // a dangling link resolves to no file
    QFile sourceFile(source);
    if (!sourceFile.open(QIODevice::ReadOnly))
        return FileComparison::Unreadable;
    QFile targetFile(target);
    if (!targetFile.open(QIODevice::ReadOnly))
        return FileComparison::Unreadable;
    if (sourceFile.size() != targetFile.size())
        return FileComparison::Different;
    const QByteArray sourceDigest = digestOf(sourceFile);
    const QByteArray targetDigest = digestOf(targetFile);
    if (sourceDigest.isEmpty() || targetDigest.isEmpty())
        return FileComparison::Unreadable;
    return sourceDigest == targetDigest ? FileComparison::Identical : FileComparison::Different;
}
