#include "app/filerelocator.h"

#include "app/filedigest.h"
#include "app/loglevel.h"
#include "paths/resolvedpath.h"

#include <QDir>
#include <QFileInfo>

namespace {

// A dangling link still occupies its name: nothing may be moved onto it.
bool occupied(const QFileInfo &info)
{
    return info.exists() || info.isSymLink();
}

QString unknownError(const QString &from, const QString &to)
{
    return formatLogLine(LogLevel::Error,
        QStringLiteral("unable to move %1 to %2: unknown error; opened in another process").arg(from, to));
}

} // namespace

void FileRelocator::operator()(const QDir &folder, const QString &from, const QString &to) const
{
    const QString root = folder.canonicalPath();
    if (root.isEmpty())
        return; // the folder itself is gone: nothing in it can be found
    const QString source = joinPathText({root, from});
    const QFileInfo sourceInfo(source);
    if (!sourceInfo.exists())
        return;

    const QString target = joinPathText({root, to});
    const QFileInfo targetInfo(target);
    if (occupied(targetInfo)) {
        const QString sourceFile = sourceInfo.canonicalFilePath();
        const QString targetFile = targetInfo.canonicalFilePath();
        // A link and the file it points to are one file, not two copies:
        // deleting one of them would lose the other.
        const FileComparison comparison
            = sourceFile == targetFile ? FileComparison::Unreadable : compareFiles(sourceFile, targetFile);
        switch (comparison) {
        case FileComparison::Identical:
            // The entry itself goes, never the file a link of that name points to.
            if (QFile::remove(source)) {
                m_log.append(formatLogLine(LogLevel::Warning,
                    QStringLiteral("%1 is a duplicate of %2, %1 has been deleted").arg(from, to)));
            } else {
                m_log.append(unknownError(from, to));
            }
            return;
        case FileComparison::Different:
            m_log.append(formatLogLine(LogLevel::Error,
                QStringLiteral("unable to move %1 to %2; files are different from each others")
                    .arg(from, to)));
            return;
        case FileComparison::Unreadable:
            // A rename never overwrites, so it would fail here; do not even try.
            m_log.append(unknownError(from, to));
            return;
        }
    }

    QDir().mkpath(QFileInfo(target).absolutePath());
    if (!QDir(folder).rename(from, to))
        m_log.append(unknownError(from, to));
}
