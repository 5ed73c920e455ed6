#pragma once

#include <QByteArray>
#include <QString>

// SHA3-256 of the whole file, read in bounded chunks so memory does not grow
// with the file's size; empty when the file cannot be opened for reading (a
// folder, a missing file, a file held without sharing).
QByteArray fileDigest(const QString &path);

enum class FileComparison {
    Identical,
    Different,
    Unreadable, // one side could not be opened for reading
};

// Compares two files by their digests. Two readable files of different sizes
// are different without reading them; the target is opened only when the
// source could be.
FileComparison compareFiles(const QString &source, const QString &target);
