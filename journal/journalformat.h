#pragma once

#include "filesystem/change.h"
#include "run/logrecord.h"
#include "run/report.h"

#include <QByteArray>
#include <QString>

// The form of a journal's lines, written and read in this one place: the
// journal, the machine output and the undo share it. A journal is JSON Lines:
// a header, one record per change, and a closing record.

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
    int changes = -1; // end: the records of changes before it (-1: not said, as in earlier journals)
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

// Whether a record of a deleted file names its owner and group. A journal
// travels with its client when the client is archived, so it names no one:
// a restore takes its twin's owner anyway. The machine output, which stays
// with the person who ran the program, names them.
enum class OwnerField { Left, Named };

// One change as a journal line (without its line feed): paths relative to
// the client's top folder, with "/".
QByteArray changeRecord(const Change &change, const QString &client, OwnerField owner = OwnerField::Left);

// The header line (without its line feed). `client` is the client's own
// folder name only: a journal travels with its client and names no one.
QByteArray headerRecord(
    const QString &version, const QString &started, const QString &client, const QString &undoOf);
// The closing line: the run or undo reached its end, stopped early or not,
// with `errors` error lines and `changes` records; an undo also says how
// many changes it `left` as they were (-1: none said).
QByteArray endRecord(bool stopped, int errors, int changes, int left = -1);

// Text as a JSON string, quotes included.
QByteArray jsonString(const QString &text);

// A record of the machine output (--json), without its line feed: a change
// as the journal has it, owners named; a warning or error as
// {"op":"warning"|"error","text":...,"character":...} with the paths it
// names; nothing for a plain line, which is for people.
QByteArray outputRecord(const LogRecord &record, const QString &client);
// The records of a block, each with its line feed.
QByteArray outputRecords(const QVector<LogRecord> &records, const QString &client);

// What the summary line says, for the machine output's last record.
struct RunSummary
{
    int done = 0; // characters, or an undo's changes
    int total = 0;
    ChangeCounts counts;
    int errors = 0;
    QString journal; // empty for a dry run
    bool stopped = false;
    bool dryRun = false;
    bool undo = false;
};
QByteArray summaryRecord(const RunSummary &summary);
