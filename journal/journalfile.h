#pragma once

#include "filesystem/posixfile.h"
#include "journal/journalformat.h"

#include <QString>
#include <QStringList>
#include <QVector>

class ClientRoot;

// One journal, read through once: its header, how many records of changes
// it holds, and how it ends. Then its records are read again, last first, a
// window of the file at a time: memory stays flat however long it is.
class JournalIndex
{
public:
    // Opens `name` in the journal folder `folder` (a regular file only, never
    // through a link) and reads it through. Reading stops at a NUL byte, which
    // no run writes; a file with far more damaged lines than a run leaves is
    // refused.
    bool open(int folder, const QByteArray &name, QString *why);

    const JournalHeader &header() const { return m_header; }
    int changes() const { return m_changes; }
    // The record of a change before the one read last (at first, the last
    // one) and its line; false at the first, or with `why` set when the file
    // can no longer be read as it was.
    bool previous(JournalRecord *record, int *line, QString *why);

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
    bool lineBefore(qint64 *start, QByteArray *text);

    PosixFile::Descriptor m_file;
    JournalHeader m_header;
    int m_changes = 0;
    QVector<Damage> m_damaged;
    int m_damagedCount = 0;
    qint64 m_damagedBytes = 0;
    qint64 m_lineBytes = 0; // of the line in hand, however long
    int m_cutShort = 0;
    bool m_ended = false;
    JournalRecord m_end;
    qint64 m_endStart = 0;
    int m_endLine = 0;
    qint64 m_headerEnd = 0; // where the records start
    // Reading back: the start of the line read last, and its number.
    qint64 m_cursor = 0;
    int m_cursorLine = 0;
    QByteArray m_buffer; // a window of the file
    qint64 m_bufferStart = 0;
};

// A journal of a client, as the list of journals shows it.
struct JournalSummary
{
    QString name;
    JournalHeader header;
    bool readable = false; // false: `problem` says why
    QString problem;
    int changes = 0;
    int damagedLine = 0; // the first line that is no record, where the journal was read through
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
// Whether a journal's name is a time more than a day ahead of this
// machine's clock: no run here made it, and an archive may name a journal so
// to be taken for the newest run.
bool isFromTheFuture(const QString &name);
