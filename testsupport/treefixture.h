#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Folder trees written and read back as one line an entry, so a test states
// a whole tree before and after a run:
//   "name=content"  a file (content as UTF-8; "\r\n" and the like as written)
//   "name/"         a folder
//   "name->target"  a symbolic link
namespace TreeFixture {

// Creates the entries below root; false (with a test failure) when one cannot be made.
bool build(const QString &root, const QStringList &entries);

// Every entry below root, hidden ones included, sorted by path, in the form
// build() takes; the run's journals ("veltra-journal/") are left out.
QStringList describe(const QString &root);

// The entries of count legacy characters "C000", "C001", ... with an icon, an
// emotion button and a pose each: a run long enough to be stopped midway.
QStringList manyCharacters(int count);
// The folder of the character manyCharacters() numbers i, with a trailing '/'.
QString manyCharacterFolder(int i);

QByteArray readFile(const QString &path);
bool writeFile(const QString &path, const QByteArray &content);

} // namespace TreeFixture
