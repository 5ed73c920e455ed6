#pragma once

#include "filesystem/change.h"
#include "journal/journalfile.h"

#include <QHash>
#include <QString>
#include <QVector>

class ClientRoot;

// Which run an undo takes back, and what of it is taken back already.

// The client and, when one is named, the journal a target names: a client's
// top folder, or a journal in its journal folder. False with the reason for
// anything else.
bool clientOf(const QString &target, QString *client, QString *journal, QString *why);

// The key of the change that takes `change` back.
quint64 inverseKey(const Change &change);

// What the undo journals of the run `name` recorded taking back, as counts
// by inverseKey: an earlier undo that was cut short made those already.
QHash<quint64, int> takenBack(
    const ClientRoot &client, const QVector<JournalSummary> &journals, const QString &name);
