#pragma once

#include <QSet>
#include <QStringList>

class QDir;

// Moves one entry of a folder to its new name. When the new place already
// holds a byte-identical copy, the old entry is deleted instead; every other
// problem leaves both entries alone and becomes a coloured line in the log.
class FileRelocator
{
public:
    explicit FileRelocator(QStringList &log)
        : m_log(log)
    {
    }

    // `from` and `to` are relative to `folder`; `to` may name sub-folders,
    // which are created as needed.
    void operator()(const QDir &folder, const QString &from, const QString &to) const;

private:
    QStringList &m_log;
    // Target folders found or made by earlier moves of this relocator. No
    // rule moves them away, so they are not looked up again.
    mutable QSet<QString> m_folders;
};
