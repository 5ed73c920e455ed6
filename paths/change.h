#pragma once

#include <QByteArray>
#include <QString>

// One change a run makes to the client: the unit the journal keeps, the
// preview shows and an undo reverses. Paths are absolute.
struct Change
{
    enum Kind {
        Move, // `path` renamed to `other`
        Delete, // `path` removed; `other` holds the same bytes (empty: no twin)
        Write, // the document `path` written whole
        MakeFolder, // the folder `path` created
        RemoveFolder, // the empty folder `path` removed
    };

    Kind kind = Move;
    QString path;
    QString other;
    QByteArray sha3; // Delete, Write: SHA3-256 of the bytes
    qint64 size = -1; // Delete: the bytes' length
};

// Told of every change, through the one file-system seam. `aboutToChange`
// comes before the change is made (a journal writes ahead) and may refuse it
// (a change that cannot be recorded is not made); then exactly one of
// `changed` or `changeFailed`.
class ChangeObserver
{
public:
    virtual ~ChangeObserver() = default;
    virtual bool aboutToChange(const Change &) { return true; }
    virtual void changed(const Change &) { }
    virtual void changeFailed(const Change &) { }
};
