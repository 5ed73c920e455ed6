#pragma once

#include <QString>

// The folder that holds the entry an absolute path names: the text before
// its last slash, "/" for an entry of the root.
QString parentFolder(const QString &path);
