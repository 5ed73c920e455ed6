#pragma once

#include <QDialog>
#include <QElapsedTimer>
#include <QString>

class QLabel;
class QProgressBar;
class QTimer;

// The progress of a migration that takes a while. It stays hidden for a delay
// after start(), so a short run never shows it; after that it names the
// character in hand, "n of m", and offers Cancel. Cancel (or Esc, or closing
// the window) only asks the run to stop: the dialog stays up, saying it is
// stopping, until the run ends and finish() hides it. It never closes itself,
// so it never counts as the program's last window closing. Return does not
// cancel: a run of an hour is not stopped by a key pressed for another window.
// Below the bar it shows the time spent and, once a few characters are done,
// about how long the rest takes.
class VMigrationProgress : public QDialog
{
    Q_OBJECT

public:
    explicit VMigrationProgress(QWidget *parent = nullptr);

    // What the dialog watches: a migration (and its preview) counts
    // characters, an undo counts changes.
    enum class Task { Migration, Undo };
    void setTask(Task task);

    // "Time spent 1:05" and, from `minDone` steps on, "about 2:10 left",
    // assuming the steps left take as long as those done took on average.
    static QString timeText(qint64 elapsedMs, int done, int total);

    // Starts the run's clock: the dialog shows after `delayMs` unless
    // finish() comes first.
    void start(int delayMs = 1000);

public slots:
    // `done` of `total` characters are migrated; `name` is the one in hand.
    void setProgress(int done, int total, const QString &name);
    // Asks the run to stop after the character in hand; emits canceled() once.
    void cancel();
    // The run ended: the dialog hides, or never shows.
    void finish();
    void reject() override;

signals:
    void canceled();

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void showTime();

    QLabel *m_label = nullptr;
    QLabel *m_time = nullptr;
    QProgressBar *m_bar = nullptr;
    QTimer *m_showTimer = nullptr;
    QTimer *m_tick = nullptr;
    QElapsedTimer m_clock;
    Task m_task = Task::Migration;
    QString m_current;
    int m_done = 0;
    int m_total = 0;
    bool m_canceled = false;
    bool m_finished = false;
};
