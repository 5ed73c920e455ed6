#include "fuzz/fuzzsupport.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace Fuzz {

// In memory where the system offers it: the writers sync every file they
// save, which on a disk would slow the fuzzers down many times over.
QString scratchFolder()
{
    static QTemporaryDir folder(QDir(QStringLiteral("/dev/shm")).exists()
            ? QStringLiteral("/dev/shm/veltra-fuzz-XXXXXX")
            : QDir::tempPath() + QStringLiteral("/veltra-fuzz-XXXXXX"));
    if (!folder.isValid())
        fail("a scratch folder can be made", folder.errorString());
    return folder.path();
}

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(bytes) == bytes.size();
}

void fail(const char *what, const QString &detail)
{
    std::fprintf(stderr, "property failed: %s\n%s\n", what, detail.toLocal8Bit().constData());
    std::fflush(stderr);
    std::abort();
}

} // namespace Fuzz
