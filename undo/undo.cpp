#include "undo/undo.h"

#include "filesystem/clientroot.h"
#include "filesystem/filesystem.h"
#include "journal/journal.h"
#include "paths/displayname.h"
#include "paths/folders.h"
#include "run/report.h"
#include "undo/undotarget.h"
#include "undo/withheldrights.h"

#include <QHash>

#include <algorithm>

namespace {

// The character folder a path of a record lies in ("base/characters/Kit"),
// or empty for a path that is no entry of one.
QString characterFolderOf(const QString &path)
{
    static const QString characters
        = FolderNames::base + QLatin1Char('/') + FolderNames::characters + QLatin1Char('/');
    if (!path.startsWith(characters))
        return QString();
    const int slash = path.indexOf(QLatin1Char('/'), characters.size());
    return slash < 0 ? QString() : path.left(slash);
}

class Undoer
{
public:
    explicit Undoer(RunContext &run)
        : m_files(run.files)
        , m_client(run.client)
        , m_log(run.report)
    {
    }

    // `claimed`: an earlier undo recorded taking it back. `maybeUnmade`: the
    // run may have been killed before it made this change.
    void undo(const Change &change, bool claimed, bool maybeUnmade)
    {
        m_files.removeLeftovers(absolute(change.path));
        if (!change.other.isEmpty())
            m_files.removeLeftovers(absolute(change.other));
        m_quiet = claimed || maybeUnmade;
        m_claimed = claimed;
        switch (change.kind) {
        case Change::Write:
            undoWrite(change);
            break;
        case Change::Delete:
            undoDelete(change);
            break;
        case Change::Move:
            undoMove(change);
            break;
        case Change::MakeFolder:
            undoMakeFolder(change);
            break;
        case Change::RemoveFolder:
            break;
        }
    }

    int left() const { return m_left; }
    // A line about the journal itself, which names no change.
    void fail(const QString &message) { m_log.error(message); }

private:
    QString absolute(const QString &path) const { return m_client + QLatin1Char('/') + path; }
    static QString shown(const QString &path) { return displayName(path); }

    // A change left as it was; its record names where it stands.
    void leave(const QString &message, const Change &change)
    {
        LineSubject subject;
        if (change.kind == Change::Move) {
            subject.from = absolute(change.other);
            subject.to = absolute(change.path);
        } else {
            subject.path = absolute(change.path);
        }
        m_log.error(message, subject);
        ++m_left;
    }

    void warn(const QString &message, const Change &change)
    {
        m_log.warning(message, {absolute(change.path), {}, {}});
    }

    // Both places of a change must be reached from inside the client.
    bool reached(const Change &change, FileError *why) const
    {
        return m_files.reaches(absolute(change.path), why)
            && (change.other.isEmpty() || m_files.reaches(absolute(change.other), why));
    }

    // Whether a run could have written the document `path` (from the
    // client's top folder): a description beside the legacy one it was
    // converted from, or a character's actor data beside a legacy
    // description. On a journal's word an undo removes no other file: a
    // legacy description or a description made by hand is never a run's.
    bool runWrites(const QString &path) const
    {
        const QString character = characterFolderOf(path);
        if (character.isEmpty())
            return false;
        const QString folder = absolute(character);
        const QString inside = path.mid(character.size() + 1);
        const QLatin1String toml(".toml");
        if (!inside.contains(QLatin1Char('/')) && inside.size() > toml.size() && inside.endsWith(toml))
            return m_files
                .status(folder + QLatin1Char('/') + inside.chopped(toml.size()) + QLatin1String(".ini"))
                .isFile();
        if (inside != FolderNames::actorDataFile)
            return false;
        const QVector<FolderEntry> entries = m_files.list(folder).entries;
        return std::any_of(entries.cbegin(), entries.cend(), [](const FolderEntry &entry) {
            return !entry.isFolder && entry.name.endsWith(QLatin1String(".ini"));
        });
    }

    void undoWrite(const Change &change)
    {
        const QString path = absolute(change.path);
        FileError reason;
        if (!reached(change, &reason)) {
        } else if (m_files.status(path).exists) {
            ComparedSource seen;
            if (!runWrites(change.path)) {
                reason = FileError(QStringLiteral("no run writes such a document there"));
            } else if (!m_files.inspect(path, &seen, &reason)) {
            } else if (seen.sha3 != change.sha3) {
                reason = FileError(QStringLiteral("it changed since the run wrote it"));
                if (m_quiet && !m_claimed)
                    return; // never written: what stands there was there before
            } else if (m_files.removeCompared(path, QString(), seen, &reason)) {
                return;
            }
        } else {
            return; // removed already, or never written: as it was before the run
        }
        leave(QStringLiteral("cannot remove %1: %2").arg(shown(change.path), reason.text), change);
    }

    void undoDelete(const Change &change)
    {
        const QString path = absolute(change.path);
        FileError reason;
        if (!reached(change, &reason)) {
        } else if (change.other.isEmpty()) {
            reason = FileError(QStringLiteral("the journal names no copy to restore it from"));
        } else if (!m_files.status(path).exists) {
            // A record of the earliest journals names no mode: the copy takes
            // its twin's, and no more rights than any other restore.
            const EntryStatus twin = m_files.status(absolute(change.other));
            FileAttributes attributes = change.attributes;
            if (!attributes.known && twin.exists) {
                attributes.known = true;
                attributes.mode = twin.mode;
                attributes.modified = twin.modified;
            }
            const QString withheld = withheldRights(attributes, twin);
            if (m_files.copyFile(absolute(change.other), path, change.sha3, attributes, &reason)) {
                if (!withheld.isEmpty())
                    warn(QStringLiteral("%1 is restored without %2 that the journal asks for: an undo "
                                        "grants no rights")
                             .arg(shown(change.path), withheld),
                        change);
                return;
            }
        } else {
            ComparedSource seen;
            if (m_files.inspect(path, &seen, &reason) && seen.sha3 == change.sha3)
                return; // restored already, or never deleted: the same bytes stand there
            reason = FileError(QStringLiteral("its place is taken"));
        }
        leave(QStringLiteral("cannot restore %1 from %2: %3")
                  .arg(shown(change.path),
                      change.other.isEmpty() ? QStringLiteral("its twin") : shown(change.other), reason.text),
            change);
    }

    void undoMove(const Change &change)
    {
        const QString from = absolute(change.other);
        const QString to = absolute(change.path);
        FileError reason;
        if (!reached(change, &reason)) {
            // Moved through a link out of the client: it stays where the run put it.
        } else {
            const bool there = m_files.status(from).exists;
            const bool free = !m_files.status(to).exists;
            if (there && free) {
                if (m_files.move(from, to, &reason))
                    return;
            } else if (m_quiet && !there && !free) {
                return; // moved back already, or never moved
            } else {
                reason = FileError(
                    there ? QStringLiteral("its old place is taken") : QStringLiteral("it is gone"));
            }
        }
        leave(QStringLiteral("cannot move %1 back to %2: %3")
                  .arg(shown(change.other), shown(change.path), reason.text),
            change);
    }

    void undoMakeFolder(const Change &change)
    {
        const QString path = absolute(change.path);
        FileError reason(QStringLiteral("it is no folder"));
        if (!reached(change, &reason)) {
        } else {
            const EntryStatus status = m_files.status(path);
            if (status.isFolder() && !status.isLink) {
                if (m_files.removeEmptyFolder(path, &reason))
                    return;
            } else if (!status.exists) {
                return; // removed already, or never made
            }
        }
        leave(QStringLiteral("cannot remove the folder %1: %2").arg(shown(change.path), reason.text), change);
    }

    FileSystem &m_files;
    QString m_client;
    Report &m_log;
    bool m_quiet = false;
    bool m_claimed = false;
    int m_left = 0;
};

// How many lines an undo gathers before it hands them on, when its caller
// takes them as they come: the log of a long undo is never held whole.
constexpr int linesHandedOn = 512;

void handOn(Report &log, const UndoHooks &hooks)
{
    hooks.linesDone(log);
    log.takeRecords();
}

} // namespace

bool listJournals(const QString &folder, QVector<JournalSummary> *journals, QString *why)
{
    ClientRoot client;
    FileError refused;
    if (!client.open(folder, &refused)) {
        *why = refused.text;
        return false;
    }
    why->clear();
    *journals = clientJournals(client, why);
    return why->isEmpty();
}

RunReport undoRun(
    const QString &target, const RunOptions &options, const UndoHooks &hooks, const StopRequest &stop)
{
    RunReport report;
    report.undo = true;
    QString client;
    QString named;
    QString why;
    if (!clientOf(target, &client, &named, &why)) {
        report.fail(RunFailure::Other, why);
        return report;
    }
    report.log = Report(client, options.changeRecords);
    RunSeam seam(client, options, report.log, Reach::Client);
    if (!seam.open(report))
        return report;
    const QVector<JournalSummary> journals = clientJournals(seam.client(), &why);
    if (!why.isEmpty()) {
        report.fail(RunFailure::Other, QStringLiteral("cannot read %1: %2").arg(journalFolder(client), why));
        return report;
    }
    // The newest run that changed something and is not undone yet, or the
    // one named. A journal dated ahead of the clock is taken only by name.
    const JournalSummary *chosen = nullptr;
    for (auto it = journals.crbegin(); it != journals.crend() && !chosen; ++it) {
        if (named.isEmpty() ? it->readable && it->header.undoOf.isEmpty() && it->changes > 0 && !it->undone
                    && !isFromTheFuture(it->name)
                            : it->name == named)
            chosen = &*it;
    }
    if (!chosen) {
        report.fail(RunFailure::NothingToUndo,
            named.isEmpty() ? QStringLiteral("no run left to undo in %1").arg(journalFolder(client))
                            : QStringLiteral("no journal %1 in %2").arg(named, journalFolder(client)));
        return report;
    }
    if (!chosen->readable || !chosen->header.undoOf.isEmpty()) {
        report.fail(RunFailure::Other,
            QStringLiteral("%1 is no journal of a migration%2")
                .arg(chosen->name, chosen->readable ? QString() : QStringLiteral(": ") + chosen->problem));
        return report;
    }
    if (chosen->undone) {
        report.fail(RunFailure::NothingToUndo,
            QStringLiteral("%1 was already undone by %2").arg(chosen->name, chosen->undos.last()));
        return report;
    }
    QHash<quint64, int> claims = takenBack(seam.client(), journals, chosen->name);

    JournalIndex journal;
    const PosixFile::Descriptor folder(openJournalFolder(seam.client()));
    if (!journal.open(folder.fd, chosen->name.toLatin1(), &why)) {
        report.fail(RunFailure::Other, QStringLiteral("cannot read %1: %2").arg(chosen->name, why));
        return report;
    }
    if (!seam.keepJournal(chosen->name, report))
        return report;
    if (hooks.starting) {
        // The list takes a journal's count from its closing record; the undo
        // tells the count it read.
        JournalSummary read = *chosen;
        read.changes = journal.changes();
        hooks.starting(read);
    }

    RunContext run = seam.context(stop);
    Report &log = run.report;
    log.line(QStringLiteral("Undoing %1...").arg(displayName(chosen->name)));
    FileSystem &files = run.files;
    Undoer undoer(run);
    {
        for (const JournalIndex::Damage &damage : journal.damaged())
            undoer.fail(
                QStringLiteral("line %1 of the journal is no record: %2").arg(damage.line).arg(damage.why));
        if (journal.damagedCount() > journal.damaged().size())
            undoer.fail(QStringLiteral("%1 more lines of the journal are no record")
                            .arg(journal.damagedCount() - journal.damaged().size()));
        if (journal.cutShortLine() > 0)
            undoer.fail(
                QStringLiteral("line %1 of the journal is cut short; the change it began to record was "
                               "never made")
                    .arg(journal.cutShortLine()));
        const int total = journal.changes();
        report.outcome.total = total;
        // The last change first. Only the first record read back can be one
        // that a killed run wrote without making its change.
        JournalRecord record;
        int line = 0;
        QString character;
        for (bool last = true;; last = false) {
            if (!journal.previous(&record, &line, &why)) {
                if (!why.isEmpty())
                    undoer.fail(QStringLiteral("the journal cannot be read again before line %1: %2")
                                    .arg(line)
                                    .arg(why));
                break;
            }
            if (run.stopWanted()) {
                report.outcome.stopped = true;
                break;
            }
            if (hooks.progress)
                hooks.progress(report.outcome.done, total, displayName(record.change.path));
            const quint64 key = inverseKey(record.change);
            const auto claim = claims.find(key);
            const bool claimed = claim != claims.end() && claim.value() > 0;
            if (claimed)
                --claim.value();
            // A run killed at any instant may have recorded its last change without making it.
            const bool maybeUnmade = !journal.ended() && last;
            // A run's records come a character folder at a time: a preview
            // packs away what it planned for one once the undo has left it.
            const QString folder = characterFolderOf(record.change.path);
            if (folder != character) {
                if (!character.isEmpty())
                    files.doneWith(client + QLatin1Char('/') + character);
                character = folder;
            }
            undoer.undo(record.change, claimed, maybeUnmade);
            ++report.outcome.done;
            if (hooks.linesDone && log.size() >= linesHandedOn)
                handOn(log, hooks);
        }
    }
    if (report.outcome.stopped)
        log.line(QStringLiteral("Stopped after %1 of %2 changes.")
                     .arg(report.outcome.done)
                     .arg(report.outcome.total));
    else
        log.line(QStringLiteral("Done!\n"));
    // A line that is no record may have been one: the run is not undone
    // while its journal holds any.
    seam.finish(report, undoer.left() + journal.damagedCount());
    return report;
}
