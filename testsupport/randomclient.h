#pragma once

#include <QString>
#include <QStringList>

// Made-up clients for tests that must hold on many trees: character folders
// with every kind of entry the walk treats (icons, emotions, shouts, loose
// images and sounds, sub-folders, collisions, duplicates, links, legacy
// descriptions), drawn from a seed so a failing tree can be made again.
namespace RandomClient {

// The tree's entries in TreeFixture's form.
QStringList entries(quint32 seed, int characters);

// The same trees with hazards a preview must foresee: links standing at the
// names documents are written to, descriptions whose document name is too
// long for the file system, and folders named "locked" that a test makes
// read-only (a user other than root may then not move them or out of them).
QStringList hazards(quint32 seed, int characters);

// Every entry below root as one line each: path, kind and bytes or link
// target, sorted; with `times`, each entry's modification time too. The
// journals are left out.
QStringList manifest(const QString &root, bool times = false);

} // namespace RandomClient
