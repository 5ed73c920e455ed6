#pragma once

#include <QString>
#include <QStringList>

// The names of `names` nearest to `name`, a mistyped one: by edit distance
// with case ignored, nearest first (in their order in `names` when as near),
// `most` at most. A name more than half of `name`'s length away (at least
// two edits) is no near name: none may be.
QStringList nearestNames(const QString &name, const QStringList &names, int most = 3);
