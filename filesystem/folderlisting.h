#pragma once

#include "filesystem/fileerror.h"

#include <QByteArray>
#include <QString>
#include <QVector>

struct FolderEntry
{
    QString name;
    bool isFolder = false;
};

// One level of a folder: files and folders only (links followed), no hidden
// entries, no dangling links or special files, in no particular order.
// Names that are not valid in the file-name encoding are not entries: their
// bytes are kept apart so the caller can name them.
struct FolderListing
{
    QVector<FolderEntry> entries;
    QVector<QByteArray> undecodable;
    FileError error; // why the folder could not be read; empty when it could
    bool followedLinks = false; // an entry was told by following it (a link)
};
