#include "window/windowsession.h"

#include "cli/clienthint.h"
#include "filesystem/diskfilesystem.h"
#include "migration/survey.h"
#include "view/verrormessage.h"
#include "view/vmigrationprogress.h"
#include "view/vrunlog.h"
#include "window/clientfolder.h"
#include "window/runlogcontent.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

WindowSession::WindowSession(ConversionReader read, const QString &version, QObject *parent)
    : QObject(parent)
    , m_runner(std::move(read), version)
    , m_client(QDir::currentPath()) // the program's one default: where it was started
    , m_runLog(new VRunLog)
{
    connect(&m_confirm, &VConfirmFolder::chosen, this, &WindowSession::answer);
    connect(&m_runner, &WalkRunner::finished, this, &WindowSession::finished);
    VErrorMessage *log = VErrorMessage::instance();
    connect(log, &QDialog::finished, this, &WindowSession::logClosed);
    connect(log, &VErrorMessage::undoRequested, this, &WindowSession::undo);
    log->confirmUndo = [this, log](const QString &journal) { return confirmUndo(log, journal); };
    connect(m_runLog, &QDialog::finished, this, &WindowSession::logClosed);
    connect(m_runLog, &VRunLog::undoRequested, this, &WindowSession::undo);
}

WindowSession::~WindowSession()
{
    delete m_progress;
    delete m_runLog;
}

void WindowSession::begin(const QString &folder)
{
    if (!folder.isEmpty())
        consider(folder);
    else if (holdsCharacterFolders(m_client))
        run(false); // started in the client: as the user asked, at once
    else
        choose();
}

void WindowSession::choose(bool again)
{
    m_stage = Stage::Asking;
    const QFileInfo given(m_client);
    const QString folder
        = again ? chooseFolder(given.absolutePath(), given.fileName()) : chooseFolder(m_client);
    if (!folder.isEmpty())
        consider(folder);
    else if (!m_meant.isEmpty())
        consider(m_client); // back to the folder probably meant
    else
        run(false); // the walk finds nothing here, and the log window says where it looked
}

void WindowSession::consider(const QString &folder)
{
    m_stage = Stage::Asking;
    // A folder the user may not enter is no client to work on; the client is
    // named as the system resolves it, links and all.
    const QFileInfo info(folder);
    if (!info.isDir() || !info.isExecutable()) {
        m_stage = Stage::ShowingLog;
        showLog(tr("Cannot open the folder %1.").arg(folder));
        return;
    }
    m_client = info.canonicalFilePath();
    // One listing per character, no file read: quick on thousands of them.
    QVector<VCharacterChoice::Character> characters;
    for (const CharacterState &state : surveyCharacters(DiskFileSystem(), m_client))
        characters.append({state.name, state.migrated});
    if (!characters.isEmpty()) {
        m_confirm.askMigrate(m_client, characters);
        return;
    }
    m_meant = probableClientFolder(m_client);
    if (!m_meant.isEmpty())
        m_confirm.askMeant(m_client, m_meant);
    else
        run(false); // nothing to change: the log window says where it looked
}

void WindowSession::answer(VConfirmFolder::Choice choice)
{
    switch (choice) {
    case VConfirmFolder::Choice::Migrate:
        run(false, true, m_confirm.selection());
        break;
    case VConfirmFolder::Choice::Preview:
        run(true, true, m_confirm.selection());
        break;
    case VConfirmFolder::Choice::TakeMeant:
        consider(m_meant);
        break;
    case VConfirmFolder::Choice::ChooseAgain:
        choose(true);
        break;
    case VConfirmFolder::Choice::Cancel:
        QCoreApplication::quit();
        break;
    }
}

void WindowSession::run(bool dryRun, bool asked, const QStringList &characters)
{
    m_asked = asked;
    m_dryRun = dryRun;
    m_stage = dryRun ? Stage::Previewing : Stage::Running;
    watch(new VMigrationProgress);
    m_runner.start(m_client, dryRun, characters);
}

void WindowSession::undo(const QString &journal)
{
    m_dryRun = false;
    m_stage = Stage::Undoing;
    m_undoing = journal;
    auto *progress = new VMigrationProgress;
    progress->setTask(VMigrationProgress::Task::Undo);
    watch(progress);
    m_runner.startUndo(journal);
}

void WindowSession::watch(VMigrationProgress *progress)
{
    m_progress = progress;
    connect(&m_runner, &WalkRunner::progress, progress, &VMigrationProgress::setProgress);
    connect(progress, &VMigrationProgress::canceled, &m_runner, &WalkRunner::requestStop);
    progress->start();
}

void WindowSession::finished(const QString &message)
{
    if (m_progress) {
        m_progress->finish();
        m_progress->deleteLater();
    }
    const bool stopped = m_runner.wasStopped();
    const RunReport &report = m_runner.report();
    if (report.failureKind == RunFailure::Busy)
        m_busy = true;
    // What the user asked for, and every undo, shows in the run's own log
    // window; a run refused before it began says why as ever.
    if (report.failure.isEmpty() && (m_asked || m_stage == Stage::Undoing)) {
        m_stage = m_stage == Stage::Previewing ? Stage::PreviewLog : Stage::ShowingLog;
        showRunLog(message);
        return;
    }
    switch (m_stage) {
    case Stage::Previewing:
        m_stage = Stage::PreviewLog;
        showLog(message, QString(), stopped);
        break;
    case Stage::Running:
        m_stage = Stage::ShowingLog;
        showLog(message, m_runner.undoableJournal(), stopped);
        break;
    default:
        m_stage = Stage::ShowingLog;
        showLog(message, QString(), stopped);
        break;
    }
}

void WindowSession::logClosed()
{
    if (m_stage == Stage::PreviewLog)
        consider(m_client); // the preview seen, ask again
    else if (m_stage == Stage::ShowingLog)
        QCoreApplication::exit(m_busy ? 3 : 0); // 3: as veltra-cli, when the lock refused the client
}

void WindowSession::showLog(const QString &log, const QString &undoJournal, bool atEnd)
{
    VErrorMessage::instance()->showLog(log, undoJournal, atEnd);
}

void WindowSession::showRunLog(const QString &log)
{
    m_runLog->showRun(runLogContent(m_runner.report(), m_dryRun, log, m_undoing));
}

bool WindowSession::confirmUndo(QWidget *parent, const QString &journal)
{
    const ChangeCounts counts = m_runner.report().counts();
    UndoQuestion question;
    question.journal = QFileInfo(journal).fileName();
    question.started = journalStarted(journal);
    question.changes = counts.moves + counts.deletions + counts.documents + counts.folders;
    return askToUndo(parent, question);
}
