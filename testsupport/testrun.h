#pragma once

#include "filesystem/diskfilesystem.h"
#include "run/report.h"
#include "run/runcontext.h"
#include "run/textlog.h"

#include <QDir>

// A run's context as a test builds it: the real disk as the seam, a report
// of its own, and the client's top folder (absolute).
class TestRun
{
public:
    explicit TestRun(const QString &client, bool changeRecords = false)
        : report(QDir::cleanPath(QDir(client).absolutePath()), changeRecords)
        , context{report.client(), disk, report, {}, {}}
    {
    }
    TestRun(const TestRun &) = delete;
    TestRun &operator=(const TestRun &) = delete;

    // The log's text lines, as the window shows them (change lines when asked).
    QStringList lines(bool changes = false) const
    {
        TextForm form;
        form.client = report.client();
        form.changes = changes;
        return textLines(report.records(), form);
    }

    DiskFileSystem disk;
    Report report;
    RunContext context;
};
