#pragma once

#include "run/logrecord.h"
#include "view/vrunlogheader.h"
#include "view/vundoquestion.h"

#include <QByteArray>
#include <QDialog>
#include <QString>
#include <QVector>

#include <functional>

class ChangesFilter;
class ChangesModel;
class ErrorMessageTextView;
class QLabel;
class QPushButton;
class QTableView;
class QTabWidget;

// All a log window shows of one run, preview or undo, and what it saves.
struct RunLogContent
{
    RunLogFacts facts;
    QString client; // the client's top folder
    QString log; // the log's coloured text, as the seed's log window shows it
    QString verboseLog; // the same with a line for each change: the saved HTML's body
    QVector<LogRecord> records;
    QByteArray jsonLines; // the machine output: records, then the summary record
    QString undoJournal; // the journal an undo would take back; empty: none offered
    QString undoStarted; // when that run started
    bool atEnd = false; // open scrolled to the log's last line
};

// The log window of a run the user asked for: above the log, what the run
// was and its counts; the log as the seed's window shows it, and beside it
// a table of its changes, warnings and errors; a report to save; and, after
// a run that changed something, its undo, asked first.
class VRunLog : public QDialog
{
    Q_OBJECT

public:
    explicit VRunLog(QWidget *parent = nullptr);

    void showRun(const RunLogContent &content);
    // Writes the report as `veltra-cli --html --verbose` or `--json` writes
    // it; false when the file cannot be written.
    bool saveReport(const QString &path, bool json) const;

    // Asked before an undo; unset, the default question.
    std::function<bool(QWidget *, const UndoQuestion &)> askUndo = askToUndo;

signals:
    // The undo of `journal` was asked and confirmed; the window closes as
    // OK closes it.
    void undoRequested(const QString &journal);

protected:
    void showEvent(QShowEvent *event) override;

private:
    void save();
    void undo();
    void copyRows();

    QLabel *m_heading = nullptr;
    QTabWidget *m_tabs = nullptr;
    ErrorMessageTextView *m_log = nullptr;
    ChangesModel *m_model = nullptr;
    ChangesFilter *m_filter = nullptr;
    QTableView *m_table = nullptr;
    QPushButton *m_ok = nullptr;
    QPushButton *m_undo = nullptr;
    RunLogContent m_content;
};
