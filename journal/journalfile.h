#pragma once

#include "paths/change.h"
#include "paths/posixfile.h"

#include <QString>
#include <QStringList>
#include <QVector>

class ClientRoot;

// The first line of a journal.
struct JournalHeader
{
    QString version;
    QString started; // ISO 8601, UTC
    QString client; // the folder the run was made in: information only
    QString undoOf; // the journal an undo reverses; empty for a migration
};

// One line of a journal after the header, checked. Paths stay relative to
// the client's top folder, as written.
struct JournalRecord
{
    bool end = false; // the closing line: the run or undo reached its end
    Change change;
    bool stopped = false; // end: stopped early on request
    int errors = 0; // end: error lines of the run
    int left = -1; // end of an undo: changes it could not take back (-1: not said)
};

// Journal lines longer than this are no record: no path the system allows
// comes near it.
constexpr int maxJournalLine = 64 * 1024;

bool parseJournalHeader(const QByteArray &line, JournalHeader *header, QString *why);
// Accepts a record only when every field has its type and range, every path
// is relative, non-empty, free of ".", ".." and empty parts, of NUL and of
// control characters and stays out of the journal folder, and every digest
// is a SHA3-256 in hex.
bool parseJournalRecord(const QByteArray &line, JournalRecord *record, QString *why);

// One journal, read through once: its header, where each record starts, and
// how it ends. Memory stays small however long it is: records are read again
// one at a time, by their place in the file.
class JournalIndex
{
public:
    // Opens `name` in the journal folder `folder` (a regular file only, never
    // through a link) and reads it through.
    bool open(int folder, const QByteArray &name, QString *why);

    const JournalHeader &header() const { return m_header; }
    int changes() const { return m_offsets.size(); }
    bool read(int i, JournalRecord *record, QString *why) const;
    int lineOf(int i) const { return m_lines.at(i); }

    // Lines that are no record, with why (the first hundred of them), and
    // how many there are in all.
    struct Damage
    {
        int line;
        QString why;
    };
    const QVector<Damage> &damaged() const { return m_damaged; }
    int damagedCount() const { return m_damagedCount; }
    // The last line has no line feed: a kill cut it short, its change was never made.
    int cutShortLine() const { return m_cutShort; }
    bool ended() const { return m_ended; }
    const JournalRecord &end() const { return m_end; }

private:
    void take(const QByteArray &line, qint64 offset, int number);

    PosixFile::Descriptor m_file;
    JournalHeader m_header;
    QVector<qint64> m_offsets;
    QVector<int> m_lines;
    QVector<Damage> m_damaged;
    int m_damagedCount = 0;
    int m_cutShort = 0;
    bool m_ended = false;
    JournalRecord m_end;
};

// A journal of a client, as the list of journals shows it.
struct JournalSummary
{
    QString name;
    JournalHeader header;
    bool readable = false; // false: `problem` says why
    QString problem;
    int changes = 0;
    bool ended = false;
    JournalRecord end;
    // For a migration: its undos, and whether one of them completed with
    // every change taken back.
    QStringList undos;
    bool undone = false;
};

// The journals in the client's journal folder, oldest first (names are UTC
// times; a second run in the same second has "-2", "-3"...). Only names of
// that form count; each is read without leaving the client.
QVector<JournalSummary> clientJournals(const ClientRoot &client, QString *why);
// The names of the journals in an open journal folder, in no order; none,
// with `why` set, when the folder cannot be read.
QStringList journalNames(int folder, QString *why);
// Whether a name has the form of a journal's.
bool isJournalName(const QString &name);
