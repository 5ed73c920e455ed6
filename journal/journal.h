#pragma once

#include "filesystem/change.h"
#include "filesystem/fileerror.h"
#include "journal/journalformat.h"

#include <QByteArray>
#include <QString>

#include <memory>

class ClientRoot;

// The folder, in the client's top folder, that keeps the journals.
QString journalFolder(const QString &client);
// Its name there.
extern const char *const journalFolderName;

// The client's journal folder, opened as it stands (a link there is refused,
// never followed); -1, with errno set, when it cannot be opened.
int openJournalFolder(const ClientRoot &client);

// Whether the client's journal folder can keep journals: it must be a real
// folder of the client (or not exist yet), never a link or a file. Checked
// before any change by a run, a dry run and an undo alike.
bool journalFolderUsable(const ClientRoot &client, FileError *why);

// A run's journal: "veltra-journal/<UTC time>.jsonl" in the client's top
// folder, JSON Lines. Every record is written before its change is made and
// reaches the file at once, so a run killed at any instant leaves a journal
// naming every change it made (and at most one, the last, that it did not
// get to make); a change that fails is taken out again.
class Journal : public ChangeObserver
{
public:
    ~Journal() override;

    // Starts a journal for a run over `client`; `undoOf` names the journal an
    // undo reverses (empty for a migration). Null with the reason on failure.
    static std::unique_ptr<Journal> create(
        const ClientRoot &client, const QString &version, const QString &undoOf, FileError *error);

    QString path() const { return m_path; }

    bool aboutToChange(const Change &change, FileError *why) override;
    void changeFailed(const Change &change) override;

    // Closes the journal with its last record: the run or undo reached its
    // end (stopped early or not) with `errors` error lines; an undo also says
    // how many changes it `left` as they were. A journal without it was cut short.
    void finish(bool stopped, int errors, int left = -1);

private:
    Journal(int fd, const QString &path, const QString &client);

    int m_fd;
    QString m_path;
    QString m_client;
    qint64 m_end = 0; // the length of the records of changes made so far
    qint64 m_pending = 0;
    int m_changes = 0; // records of changes made so far
};
