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
    , m_bar(new QProgressBar(this))
    , m_showTimer(new QTimer(this))
{
    setWindowTitle(tr("Migrating characters"));
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::rejected, this, &VMigrationProgress::cancel);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_label);
    layout->addWidget(m_bar);
    layout->addWidget(buttons);
    // Wide enough that long character names do not make the dialog jump.
    m_label->setMinimumWidth(fontMetrics().averageCharWidth() * 50);
    m_label->setText(tr("Looking for character folders..."));
    m_bar->setRange(0, 0);

    m_showTimer->setSingleShot(true);
    connect(m_showTimer, &QTimer::timeout, this, &QWidget::show);
}

void VMigrationProgress::start(int delayMs)
{
    if (!m_finished)
        m_showTimer->start(delayMs);
}

void VMigrationProgress::setProgress(int done, int total, const QString &name)
{
    m_current = name;
    m_bar->setRange(0, total);
    m_bar->setValue(done);
    if (!m_canceled)
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
