#pragma once

#include "filesystem/fileerror.h"

#include <QByteArray>
#include <QString>

// What a restored file gets back of the one a run deleted.
struct FileAttributes
{
    bool known = false;
    quint32 mode = 0; // permission bits
    qint64 modified = 0; // nanoseconds since the epoch
    qint64 owner = -1;
    qint64 group = -1;
};

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
    FileAttributes attributes; // Delete: the deleted file's; Write: what a restored copy gets
};

// Told of every change, through the one file-system seam. `aboutToChange`
// comes before the change is made (a journal writes ahead) and may refuse it
// (a change that cannot be recorded is not made); then exactly one of
// `changed` or `changeFailed`.
class ChangeObserver
{
public:
    virtual ~ChangeObserver() = default;
    // `why` says why a refused change could not be recorded.
    virtual bool aboutToChange(const Change &, FileError *why)
    {
        Q_UNUSED(why)
        return true;
    }
    virtual void changed(const Change &) { }
    virtual void changeFailed(const Change &) { }
};
