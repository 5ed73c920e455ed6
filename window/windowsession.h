#pragma once

#include "run/folderconversion.h"
#include "view/vconfirmfolder.h"
#include "window/walkrunner.h"

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>

class VMigrationProgress;
class VRunLog;

// What the window program does from its start to its end: it finds the
// client, asks before changing a folder the user named, runs the migration
// or its preview with the progress dialog, shows the log, and takes the run
// back when the user asks. The program ends when the last log is closed or
// the user cancels.
class WindowSession : public QObject
{
    Q_OBJECT

public:
    WindowSession(ConversionReader read, const QString &version, QObject *parent = nullptr);
    ~WindowSession() override;

    // Starts with `folder`, the folder named on the command line; empty when
    // none was named: a client in the current folder is migrated at once,
    // anywhere else the user is asked for one.
    void begin(const QString &folder);

private:
    enum class Stage { Asking, Running, Previewing, PreviewLog, Undoing, ShowingLog };

    // Asks for a folder: in the current one, or, `again`, beside the folder
    // the user gave, the chooser opening where the user was.
    void choose(bool again = false);
    void consider(const QString &folder);
    void answer(VConfirmFolder::Choice choice);
    // `asked`: the run the user chose in the question, whose log shows in
    // the run's own log window; it takes the `characters` checked there.
    void run(bool dryRun, bool asked = false, const QStringList &characters = QStringList());
    void undo(const QString &journal);
    void watch(VMigrationProgress *progress);
    void finished(const QString &message);
    void logClosed();
    void showLog(const QString &log, const QString &undoJournal = QString(), bool atEnd = false);
    void showRunLog(const QString &log);
    bool confirmUndo(QWidget *parent, const QString &journal);

    WalkRunner m_runner;
    VConfirmFolder m_confirm;
    QPointer<VMigrationProgress> m_progress;
    Stage m_stage = Stage::Asking;
    QString m_meant;
    QString m_client; // the client's top folder, as the system resolves it
    VRunLog *m_runLog = nullptr;
    bool m_asked = false;
    bool m_dryRun = false;
    QString m_undoing; // the journal of the run an undo takes back
    // A run or undo was refused by the lock: the program then ends with the
    // status veltra-cli gives.
    bool m_busy = false;
};
