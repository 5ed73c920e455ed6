#pragma once

#include "run/runcontext.h"

#include <QSet>
#include <QString>

class QDir;

// Moves one entry of a folder to its new name, through the run's seam. When
// the new place already holds a byte-identical copy, the old entry is
// deleted instead; every other problem leaves both entries alone and becomes
// an error line in the run's report.
class FileRelocator
{
public:
    explicit FileRelocator(RunContext &run)
        : m_run(run)
    {
    }

    // `from` and `to` are relative to `folder`; `to` may name sub-folders,
    // which are created as needed.
    void operator()(const QDir &folder, const QString &from, const QString &to) const;

    const FileSystem &files() const { return m_run.files; }

private:
    RunContext &m_run;
    // Target folders found or made by earlier moves of this relocator. No
    // rule moves them away, so they are not looked up again.
    mutable QSet<QString> m_folders;
};
