#include "view/verrormessage.h"

#include "log/terminaltext.h"
#include "view/ansihtmlconverter.h"
#include "view/errormessagetextview.h"

#include <QApplication>
#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QQueue>
#include <QScrollBar>
#include <QSet>
#include <QStyle>
#include <QTimer>

#include <string>

// What the dialog shows and remembers. Each dialog has its own, so a dialog
// made after the first one was destroyed works like the first.
struct PendingMessage
{
    QString message;
    QString type;
    QString undoJournal;
    bool atEnd = false;
};

struct VErrorMessageData
{
    QPushButton *okButton = nullptr;
    QCheckBox *showAgainBox = nullptr;
    ErrorMessageTextView *textView = nullptr;
    QLabel *iconLabel = nullptr;
    // Made when an undo is first offered: then OK and "Undo this run" share
    // a row of their own.
    QPushButton *undoButton = nullptr;
    QGridLayout *grid = nullptr;
    QQueue<PendingMessage> pending;
    // In memory only: a new run starts with both empty.
    QSet<QString> suppressedMessages;
    QSet<QString> suppressedTypes;
    QString currentMessage;
    QString currentType;
    QString currentJournal;
    bool atEnd = false;
};

namespace {

VErrorMessage *theInstance = nullptr;

void deleteInstance()
{
    delete theInstance; // its destructor clears the pointer
}

} // namespace

VErrorMessage::VErrorMessage(QWidget *parent)
    : QDialog(parent)
    , d(std::make_unique<VErrorMessageData>())
{
    d->iconLabel = new QLabel(this);
    d->textView = new ErrorMessageTextView(this);
    d->showAgainBox = new QCheckBox(this);
    d->okButton = new QPushButton(this);

    auto *grid = new QGridLayout(this);
    d->grid = grid;
    connect(d->okButton, SIGNAL(clicked()), this, SLOT(accept()));
    grid->addWidget(d->iconLabel, 0, 0, Qt::AlignTop);
    grid->addWidget(d->textView, 0, 1);
    grid->addWidget(d->showAgainBox, 1, 1, Qt::AlignTop);
    grid->addWidget(d->okButton, 2, 0, 1, 2, Qt::AlignCenter);

    // What QMessageBox::standardIcon() gave, which Qt 6 deprecates.
    QStyle *style = QApplication::style();
    const int iconSize = style->pixelMetric(QStyle::PM_MessageBoxIconSize);
    d->iconLabel->setPixmap(
        style->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(QSize(iconSize, iconSize)));
    d->iconLabel->setAlignment(Qt::AlignHCenter | Qt::AlignTop);

    // Every message is always shown again: the box stays checked and out of
    // sight, so nothing is ever suppressed.
    d->showAgainBox->setChecked(true);
    d->showAgainBox->setEnabled(false);
    d->showAgainBox->setHidden(true);

    d->okButton->setFocus(Qt::OtherFocusReason);
    retranslate();
}

VErrorMessage::~VErrorMessage()
{
    if (theInstance == this)
        theInstance = nullptr;
}

VErrorMessage *VErrorMessage::instance()
{
    if (!theInstance) {
        theInstance = new VErrorMessage(nullptr);
        // Qt runs each post-routine once, when the application object goes;
        // a window made for a later application object registers anew.
        qAddPostRoutine(deleteInstance);
        theInstance->setWindowTitle(QCoreApplication::applicationName());
    }
    return theInstance;
}

void VErrorMessage::showMessage(const QString &message)
{
    showMessage(message, QString());
}

void VErrorMessage::showMessage(const QString &message, const QString &type)
{
    if (!isMessageToBeShown(message, type))
        return;
    d->pending.enqueue({message, type, QString(), false});
    if (!isVisible() && nextPending())
        show();
}

void VErrorMessage::showLog(const QString &log, const QString &undoJournal, bool atEnd)
{
    if (!isMessageToBeShown(log, QString()))
        return;
    d->pending.enqueue({log, QString(), undoJournal, atEnd});
    if (!isVisible() && nextPending())
        show();
}

bool VErrorMessage::isMessageToBeShown(const QString &message, const QString &type) const
{
    if (message.isEmpty())
        return false;
    if (type.isEmpty())
        return !d->suppressedMessages.contains(message);
    return !d->suppressedTypes.contains(type);
}

bool VErrorMessage::nextPending()
{
    while (!d->pending.isEmpty()) {
        const PendingMessage next = d->pending.dequeue();
        if (!isMessageToBeShown(next.message, next.type))
            continue;
        const std::string html = ansiHtmlConverter().convert(next.message.toUtf8().toStdString());
        // Shown as a terminal shows the log, so that no name can turn a line
        // around or hide in it; --html, which renders the same way, keeps
        // the characters as they are. The markup holds none of them.
        d->textView->setHtml(
            terminalText(QString::fromUtf8(html.data(), int(html.size())), TerminalText::Shown));
        fitWidthToLog(this, d->textView);
        d->currentMessage = next.message;
        d->currentType = next.type;
        d->atEnd = next.atEnd;
        offerUndo(next.undoJournal);
        if (isVisible())
            scrollIfAsked();
        return true;
    }
    return false;
}

void VErrorMessage::offerUndo(const QString &journal)
{
    d->currentJournal = journal;
    if (journal.isEmpty()) {
        if (d->undoButton)
            d->undoButton->hide();
        return;
    }
    if (!d->undoButton) {
        auto *row = new QWidget(this);
        auto *buttons = new QHBoxLayout(row);
        buttons->setContentsMargins(0, 0, 0, 0);
        d->grid->removeWidget(d->okButton);
        buttons->addStretch();
        buttons->addWidget(d->okButton);
        buttons->addStretch();
        // Made after OK moved into the row, so OK stays the first button.
        d->undoButton = new QPushButton(row);
        d->undoButton->setAutoDefault(false);
        buttons->insertWidget(1, d->undoButton);
        connect(d->undoButton, &QPushButton::clicked, this, [this] {
            const QString journal = d->currentJournal;
            if (confirmUndo && !confirmUndo(journal))
                return;
            emit undoRequested(journal);
            accept();
        });
        d->grid->addWidget(row, 2, 0, 1, 2);
        retranslate();
    }
    d->undoButton->show();
    // Return still means OK: taking a run back is never the default.
    d->okButton->setDefault(true);
    d->okButton->setFocus(Qt::OtherFocusReason);
}

void VErrorMessage::scrollIfAsked()
{
    if (!d->atEnd)
        return;
    // The view lays its text out once it has its size: scroll after that.
    QTimer::singleShot(0, this, [this] {
        QScrollBar *bar = d->textView->verticalScrollBar();
        bar->setValue(bar->maximum());
    });
}

void VErrorMessage::showEvent(QShowEvent *event)
{
    QDialog::showEvent(event);
    scrollIfAsked();
}

void VErrorMessage::done(int result)
{
    if (!d->showAgainBox->isChecked()) {
        if (!d->currentType.isEmpty())
            d->suppressedTypes.insert(d->currentType);
        else if (!d->currentMessage.isEmpty())
            d->suppressedMessages.insert(d->currentMessage);
    }
    d->currentMessage.clear();
    d->currentType.clear();
    d->currentJournal.clear();
    if (nextPending())
        return;
    QDialog::done(result);
}

void VErrorMessage::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::LanguageChange)
        retranslate();
    QWidget::changeEvent(event);
}

void VErrorMessage::retranslate()
{
    d->showAgainBox->setText(tr("&Show this message again"));
    d->okButton->setText(tr("&OK"));
    if (d->undoButton)
        d->undoButton->setText(tr("&Undo this run"));
}
