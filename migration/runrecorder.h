#pragma once

#include "filesystem/change.h"
#include "log/loglevel.h"

#include <QString>

// How the log shows each change besides the lines it has anyway.
enum class ChangeLines {
    None, // the window's text, byte for byte
    Plain, // "  moved char_icon.png to actor.png" after the line of its step
    Json, // the journal record, marked for the machine output
};

// What a run changed, by kind.
struct ChangeCounts
{
    int moves = 0;
    int deletions = 0;
    int documents = 0;
    int folders = 0;
};

// Where the plain change lines name paths from.
enum class ShownFrom {
    Character, // the character folder whose block the line stands in
    Client, // the client's top folder: an undo's log has no character blocks
};

// Counts every change of a run and, as asked, adds a line for it to the log
// of the step that made it. Passes each change on to the journal, if any.
class RunRecorder : public ChangeObserver
{
public:
    RunRecorder(const QString &client, ChangeLines lines, ShownFrom shownFrom = ShownFrom::Character,
        ChangeObserver *journal = nullptr);
    void setJournal(ChangeObserver *journal) { m_journal = journal; }

    bool aboutToChange(const Change &change, FileError *why) override;
    void changed(const Change &change) override;
    void changeFailed(const Change &change) override;

    ChangeCounts counts() const { return m_counts; }

private:
    QString plainLine(const Change &change) const;

    QString m_client;
    ChangeLines m_lines;
    ShownFrom m_shownFrom;
    ChangeObserver *m_journal;
    ChangeCounts m_counts;
};
