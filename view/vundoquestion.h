#pragma once

#include <QString>

class QWidget;

// What the question before an undo names: the run's journal, when it
// started, and how many changes it made.
struct UndoQuestion
{
    QString journal; // the journal's file name
    QString started; // ISO 8601, UTC
    int changes = 0;
};

// Asks whether to take the run back: Undo or Cancel, Cancel the default, as
// taking a run back is never what Return should do. True for Undo.
bool askToUndo(QWidget *parent, const UndoQuestion &question);
