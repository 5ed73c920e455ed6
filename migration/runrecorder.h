#pragma once

#include "filesystem/change.h"

class Report;

// Passes every change of a run on to its journal, if any, and tells it to
// the run's report, which counts it (and keeps it where a log shows changes).
class RunRecorder : public ChangeObserver
{
public:
    explicit RunRecorder(Report &report, ChangeObserver *journal = nullptr);
    void setJournal(ChangeObserver *journal) { m_journal = journal; }

    bool aboutToChange(const Change &change, FileError *why) override;
    void changed(const Change &change) override;
    void changeFailed(const Change &change) override;

private:
    Report &m_report;
    ChangeObserver *m_journal;
};
