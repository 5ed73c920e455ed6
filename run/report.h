#pragma once

#include "run/logrecord.h"

#include <QVector>

#include <optional>

// What a run changed, by kind.
struct ChangeCounts
{
    int moves = 0;
    int deletions = 0;
    int documents = 0;
    int folders = 0;

    bool any() const { return moves + deletions + documents + folders > 0; }
};

// The log of one run as records, in the order they happened, with the counts
// every rendering shares. It belongs to one run and is filled on the walk's
// thread only; a reading made ahead on another thread gathers its records
// apart and hands them in when its folder's turn comes.
class Report
{
public:
    // `client` is the client's top folder, from which a record's paths tell
    // its character. Changes are always counted; they are kept as records
    // only when `keepsChanges`, for a log that shows them.
    explicit Report(const QString &client = QString(), bool keepsChanges = false);

    void line(const QString &text);
    void warning(const QString &message, const LineSubject &subject);
    void error(const QString &message, const LineSubject &subject = {});
    void append(LogRecord record);
    void append(const QVector<LogRecord> &records);

    // A change made through the seam: counted, and kept where changes are.
    // An announced line goes first.
    void change(const Change &change);
    // A line that stands before the change it announces and only with it
    // (a duplicate's deletion): held until that change is told, and then
    // written just before it. Once the change is made, `keepAnnouncement`
    // writes it if no change was told (a seam that tells no one); when the
    // change is not made, `dropAnnouncement` lets it go unwritten.
    void announce(LogRecord record);
    void keepAnnouncement();
    void dropAnnouncement();

    const QVector<LogRecord> &records() const { return m_records; }
    bool isEmpty() const { return m_records.isEmpty(); }
    int size() const { return m_records.size(); }
    // Hands the records on, so a long log need not be held whole; the
    // counts stay.
    QVector<LogRecord> takeRecords();

    // Error lines, including those handed on.
    int errors() const { return m_errors; }
    ChangeCounts counts() const { return m_counts; }
    QString client() const { return m_client; }
    bool keepsChanges() const { return m_keepsChanges; }

private:
    QString characterOf(const LogRecord &record) const;

    QString m_client;
    bool m_keepsChanges;
    QVector<LogRecord> m_records;
    std::optional<LogRecord> m_announced;
    int m_errors = 0;
    ChangeCounts m_counts;
};
