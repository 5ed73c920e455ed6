#include "view/vmigrationprogress.h"

#include <QCloseEvent>
#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>

VMigrationProgress::VMigrationProgress(QWidget *parent)
    : QDialog(parent)
    , m_label(new QLabel(this))
    , m_time(new QLabel(this))
    , m_bar(new QProgressBar(this))
    , m_showTimer(new QTimer(this))
    , m_tick(new QTimer(this))
{
    setWindowTitle(tr("Migrating characters"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &VMigrationProgress::cancel);
    // A dialog's push buttons take Return when they are the default or, with
    // the focus, auto-default: Cancel must be neither.
    QPushButton *cancelButton = buttons->button(QDialogButtonBox::Cancel);
    cancelButton->setAutoDefault(false);
    cancelButton->setDefault(false);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addWidget(m_time);
    layout->addWidget(buttons);
    // Wide enough that long character names do not make the dialog jump.
    m_label->setMinimumWidth(fontMetrics().averageCharWidth() * 50);
    m_label->setText(tr("Looking for character folders..."));
    m_bar->setRange(0, 0);

    m_showTimer->setSingleShot(true);
    connect(m_showTimer, &QTimer::timeout, this, &QWidget::show);
    // The time spent moves on between two characters, too.
    m_tick->setInterval(1000);
    connect(m_tick, &QTimer::timeout, this, &VMigrationProgress::showTime);
}

void VMigrationProgress::setTask(Task task)
{
    m_task = task;
    if (task == Task::Undo) {
        setWindowTitle(tr("Undoing the run"));
        m_label->setText(tr("Reading the journal..."));
    }
}

void VMigrationProgress::start(int delayMs)
{
    if (m_finished)
        return;
    m_clock.start();
    m_showTimer->start(delayMs);
    m_tick->start();
    showTime();
}

namespace {

// Below this many steps done, the average says little about the rest.
constexpr int minDone = 3;

QString duration(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    if (seconds >= 3600)
        return QStringLiteral("%1:%2:%3")
            .arg(seconds / 3600)
            .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
            .arg(seconds % 60, 2, 10, QLatin1Char('0'));
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

} // namespace

QString VMigrationProgress::timeText(qint64 elapsedMs, int done, int total)
{
    const QString spent = tr("Time spent %1").arg(duration(elapsedMs));
    if (done < minDone || total <= done)
        return spent;
    const qint64 left = elapsedMs * (total - done) / done;
    return tr("%1, about %2 left").arg(spent, duration(left));
}

void VMigrationProgress::showTime()
{
    m_time->setText(timeText(m_clock.isValid() ? m_clock.elapsed() : 0, m_done, m_total));
}

void VMigrationProgress::setProgress(int done, int total, const QString &name)
{
    m_current = name;
    m_done = done;
    m_total = total;
    m_bar->setRange(0, total);
    m_bar->setValue(done);
    showTime();
    if (m_canceled)
        return;
    if (m_task == Task::Undo)
        m_label->setText(tr("Taking back change %1 of %2: %3").arg(done + 1).arg(total).arg(name));
    else
        m_label->setText(tr("Migrating %1, character %2 of %3").arg(name).arg(done + 1).arg(total));
}

void VMigrationProgress::cancel()
{
    if (m_canceled || m_finished)
        return;
    m_canceled = true;
    if (auto *button = findChild<QPushButton *>())
        button->setEnabled(false);
    m_label->setText(m_current.isEmpty() ? tr("Stopping...") : tr("Stopping after %1...").arg(m_current));
    emit canceled();
}

void VMigrationProgress::finish()
{
    m_finished = true;
    m_showTimer->stop();
    m_tick->stop();
    // hide(), not close() or done(): the log window takes over, and closing
    // this one must not count as the last window closing.
    hide();
}

void VMigrationProgress::reject()
{
    cancel();
}

void VMigrationProgress::closeEvent(QCloseEvent *event)
{
    event->ignore();
    cancel();
}
