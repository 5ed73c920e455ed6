#pragma once

#include <QDialog>
#include <QString>

class QLabel;
class QProgressBar;
class QTimer;

// The progress of a migration that takes a while. It stays hidden for a delay
// after start(), so a short run never shows it; after that it names the
// character in hand, "n of m", and offers Cancel. Cancel (or Esc, or closing
// the window) only asks the run to stop: the dialog stays up, saying it is
// stopping, until the run ends and finish() hides it. It never closes itself,
// so it never counts as the program's last window closing.
class VMigrationProgress : public QDialog
{
    Q_OBJECT

public:
    explicit VMigrationProgress(QWidget *parent = nullptr);

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
    QLabel *m_label = nullptr;
    QProgressBar *m_bar = nullptr;
    QTimer *m_showTimer = nullptr;
    QString m_current;
    bool m_canceled = false;
    bool m_finished = false;
};
