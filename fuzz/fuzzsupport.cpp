#include "fuzz/fuzzsupport.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace Fuzz {

QString scratchFolder()
{
    static QTemporaryDir folder;
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
