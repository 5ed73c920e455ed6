#include "migration/filerelocator.h"

#include "filesystem/filesystem.h"
#include "filesystem/parentfolder.h"
#include "paths/displayname.h"
#include "run/report.h"

#include <QDir>

#include <cerrno>

namespace {

// The system's reason, where there is one, follows the words every such line has.
LogRecord unknownError(
    const QString &from, const QString &to, const LineSubject &subject, const QString &reason = QString())
{
    QString message
        = QStringLiteral("unable to move %1 to %2: unknown error; opened in another process").arg(from, to);
    if (!reason.isEmpty())
        message += QStringLiteral(" (%1)").arg(reason);
    return LogRecord::error(message, subject);
}

} // namespace

void FileRelocator::operator()(const QDir &folder, const QString &from, const QString &to) const
{
    FileSystem &files = m_run.files;
    Report &log = m_run.report;
    // The folder and the names are used as they were found: the existence
    // check, the comparison, the change and the log line all name the one
    // entry on disk, whatever runs of dots its name holds.
    const QString root = folder.absolutePath();
    const QString source = root + QLatin1Char('/') + from;
    if (files.status(source).type == EntryStatus::Missing)
        return;

    const QString shownFrom = displayName(from);
    const QString shownTo = displayName(to);
    const QString target = root + QLatin1Char('/') + to;
    // Every line about this relocation names both places to the machine output.
    const LineSubject subject{QString(), source, target};
    FileError reason;
    if (files.status(target).exists) {
        // A dangling link occupies its name too; nothing is moved onto it.
        ComparedSource seen;
        switch (files.compare(source, target, &seen)) {
        case FileComparison::Identical: {
            // Only the entry that was compared goes, never the file a link of
            // that name points to.
            // The warning stands before the line of the deletion it
            // announces, and only when the deletion was made.
            log.announce(LogRecord::warning(
                QStringLiteral("%1 is a duplicate of %2, %1 has been deleted").arg(shownFrom, shownTo),
                subject));
            if (files.removeCompared(source, target, seen, &reason)) {
                log.keepAnnouncement();
            } else {
                log.dropAnnouncement();
                log.append(unknownError(shownFrom, shownTo, subject, reason.text));
            }
            return;
        }
        case FileComparison::Different:
            log.error(QStringLiteral("unable to move %1 to %2; files are different from each others")
                          .arg(shownFrom, shownTo),
                subject);
            return;
        case FileComparison::Unreadable:
            // A rename never replaces, so it would fail here; do not even try.
            // A folder or a dangling link (ENOENT) is no failure of the system's: no
            // reason to add.
            // Two names of one file are told as such: neither may go.
            log.append(unknownError(shownFrom, shownTo, subject,
                seen.sameFile ? QStringLiteral("they are two names of one file")
                    : seen.problem.code && seen.problem.code != ENOENT ? seen.problem.text
                                                                       : QString()));
            return;
        }
    }

    const QString parent = parentFolder(target);
    if (!m_folders.contains(parent)) {
        // A folder that could not be made is the reason the move cannot be.
        if (!files.makePath(parent, &reason)) {
            log.append(unknownError(shownFrom, shownTo, subject, reason.text));
            return;
        }
        m_folders.insert(parent);
    }
    if (!files.move(source, target, &reason))
        log.append(unknownError(shownFrom, shownTo, subject, reason.text));
}
