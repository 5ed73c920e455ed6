#pragma once

#include "run/logrecord.h"
#include "run/runcontext.h"

#include <QStringList>
#include <QVector>

#include <functional>
#include <memory>

// A character folder's conversion, read and ready: everything it needs was
// read when it was made, and nothing was changed. `apply` makes its changes
// and tells them, with its lines, to the run's report.
class FolderConversion
{
public:
    virtual ~FolderConversion() = default;
    virtual void apply(RunContext &run) = 0;
};

// Reads what converting a folder's legacy INI files (paths in listing order)
// takes. It changes nothing, so the walk may call it on another thread while
// it changes an earlier folder.
using ConversionReader
    = std::function<std::unique_ptr<FolderConversion>(const ReadContext &, const QStringList &iniPaths)>;
