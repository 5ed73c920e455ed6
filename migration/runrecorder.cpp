#include "migration/runrecorder.h"

#include "run/report.h"

RunRecorder::RunRecorder(Report &report, ChangeObserver *journal)
    : m_report(report)
    , m_journal(journal)
{
}

bool RunRecorder::aboutToChange(const Change &change, FileError *why)
{
    return !m_journal || m_journal->aboutToChange(change, why);
}

void RunRecorder::changeFailed(const Change &change)
{
    if (m_journal)
        m_journal->changeFailed(change);
}

void RunRecorder::changed(const Change &change)
{
    if (m_journal)
        m_journal->changed(change);
    m_report.change(change);
}
