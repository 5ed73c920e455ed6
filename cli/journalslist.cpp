#include "cli/journalslist.h"

#include "cli/messages.h"
#include "undo/undo.h"

#include <QFile>

#include <cstdio>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace {

// Whether a process holds the client's lock, the flock on its top folder.
// The system's table of locks is read, never the lock itself: probing it
// could make a run that starts at that instant be refused.
bool lockHeld(const QString &folder)
{
    struct stat info;
    if (::stat(QFile::encodeName(folder).constData(), &info) != 0)
        return false;
    // The table names a file as major:minor:inode, the device in hexadecimal.
    const QByteArray file = QByteArray::number(major(info.st_dev), 16).rightJustified(2, '0') + ':'
        + QByteArray::number(minor(info.st_dev), 16).rightJustified(2, '0') + ':'
        + QByteArray::number(quint64(info.st_ino));
    QFile locks(QStringLiteral("/proc/locks"));
    if (!locks.open(QIODevice::ReadOnly))
        return false;
    for (const QByteArray &line : locks.readAll().split('\n')) {
        // "1: FLOCK  ADVISORY  WRITE 1234 08:01:5678 0 EOF"; a waiter's line holds "->".
        const QList<QByteArray> fields = line.simplified().split(' ');
        if (fields.size() >= 6 && fields[1] == "FLOCK" && fields[5] == file)
            return true;
    }
    return false;
}

} // namespace

int printJournals(const QString &folder)
{
    QVector<JournalSummary> journals;
    QString why;
    if (!listJournals(folder, &journals, &why)) {
        std::fprintf(stderr, "veltra-cli: cannot read the journals of %s: %s\n", qPrintable(onStderr(folder)),
            qPrintable(onStderr(why)));
        return ErrorsLogged;
    }
    // A run or undo writes its journal while it holds the lock, and no other
    // journal can begin meanwhile: the newest one is its, when it has no end.
    const bool working = !journals.isEmpty() && !journals.last().ended && lockHeld(folder);
    for (auto it = journals.crbegin(); it != journals.crend(); ++it) {
        if (!it->readable) {
            std::printf(
                "%s  unreadable: %s\n", qPrintable(onStdout(it->name)), qPrintable(onStdout(it->problem)));
            continue;
        }
        const bool isUndo = !it->header.undoOf.isEmpty();
        QString state = working && it == journals.crbegin() ? QStringLiteral("working")
            : !it->ended                                    ? QStringLiteral("cut short")
            : it->end.stopped                               ? QStringLiteral("stopped")
                                                            : QStringLiteral("complete");
        if (it->damagedLine > 0)
            state += QStringLiteral(", damaged at line %1").arg(it->damagedLine);
        if (isUndo)
            state += QStringLiteral(", undo of ") + it->header.undoOf;
        else if (it->undone)
            state += QStringLiteral(", undone");
        else if (!it->undos.isEmpty())
            state += QStringLiteral(", partly undone");
        std::printf("%s  %s  %-4s  %7d %s  %s\n", qPrintable(onStdout(it->name)),
            qPrintable(onStdout(it->header.started)), isUndo ? "undo" : "run", it->changes,
            it->changes == 1 ? "change " : "changes", qPrintable(onStdout(state)));
    }
    return Clean;
}
