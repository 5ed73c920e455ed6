#pragma once

#include "run/logrecord.h"

#include <QStringList>
#include <QVector>

// Where the change lines of a text log name paths from.
enum class ShownFrom {
    Character, // the character folder whose block the line stands in
    Client, // the client's top folder: an undo's log has no character blocks
};

// How records become the log's text.
struct TextForm
{
    QString client; // the client's top folder
    bool changes = false; // a line for each change: "  moved char_icon.png to actor.png"
    ShownFrom shownFrom = ShownFrom::Character;
};

// The log's lines, coloured as the window shows them: a warning or error
// with its mark, a plain line as it is, a change as asked.
QStringList textLines(const QVector<LogRecord> &records, const TextForm &form);
QString textLine(const LogRecord &record, const TextForm &form); // empty for an unshown change

// The log list as one text: lines joined with line feeds.
QString joinLog(const QStringList &log);
