#pragma once

#include "migration/migration.h"
#include "migration/restructure.h"

#include <QObject>
#include <QString>
#include <QStringList>

#include <atomic>
#include <functional>

class QThread;

// Runs the journaled migration of a client, its preview, or the undo of one
// run, on a worker thread, so the window stays responsive meanwhile. Its
// progress and its end arrive as signals, queued to the thread the runner
// lives in. One walk at a time per runner; the walk gets all it works with
// passed, so runners do not share anything.
class WalkRunner : public QObject
{
    Q_OBJECT

public:
    // `version` names the program in the run's journal.
    explicit WalkRunner(
        LegacyConverter convert, const QString &version = QString(), QObject *parent = nullptr);
    explicit WalkRunner(ConversionReader read, const QString &version = QString(), QObject *parent = nullptr);
    // Stops a walk still running after the folder in hand and waits for it.
    ~WalkRunner() override;

    // Migrates the client whose top folder is `client`: of its character
    // folders, those named in `characters`, or every one when it is empty.
    // False, doing nothing, while a walk is running. A dry run changes
    // nothing and keeps no journal.
    bool start(const QString &client, bool dryRun = false, const QStringList &characters = {});
    // Takes back the run whose journal is `journal`, reporting each change
    // as progress; false, doing nothing, while a walk is running.
    bool startUndo(const QString &journal);
    bool isRunning() const;

    // Of the walk that last finished: the journal of a real run that changed
    // something, which an undo could take back (else empty), and whether it
    // was stopped before its end.
    QString undoableJournal() const { return m_undoable; }
    bool wasStopped() const { return m_stopped; }
    // The whole report of that walk, its change records included: a window
    // lists them.
    const RunReport &report() const { return m_report; }

public slots:
    // Safe from any thread: the walk ends after the character folder in hand.
    void requestStop();

signals:
    void progress(int done, int total, const QString &folderName);
    // The walk is over, and the runner idle again. `message` is the text for
    // the log window: the run's log; for a stopped run, the log of the folders
    // done plus the line saying how far it came; for a client without
    // character folders, where the program looked.
    void finished(const QString &message);

private:
    bool launch(std::function<RunReport()> work);
    void collect();

    LegacyConverter m_convert;
    ConversionReader m_read; // when set, used instead of m_convert
    QString m_version;
    QThread *m_thread = nullptr;
    std::atomic<bool> m_stop{false};
    // Written by the worker, read once it has ended.
    QString m_message;
    QString m_undoable;
    bool m_stopped = false;
    RunReport m_report;
};
