#include "view/verrormessage.h"

#include "view/ansihtmlconverter.h"
#include "view/errormessagetextview.h"

#include <QCheckBox>
#include <QCoreApplication>
#include <QEvent>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPair>
#include <QPushButton>
#include <QQueue>
#include <QSet>

#include <string>

// What the dialog shows and remembers. Each dialog has its own, so a dialog
// made after the first one was destroyed works like the first.
struct VErrorMessageData
{
    QPushButton *okButton = nullptr;
    QCheckBox *showAgainBox = nullptr;
    ErrorMessageTextView *textView = nullptr;
    QLabel *iconLabel = nullptr;
    // (message, type) pairs waiting to be shown.
    QQueue<QPair<QString, QString>> pending;
    // In memory only: a new run starts with both empty.
    QSet<QString> suppressedMessages;
    QSet<QString> suppressedTypes;
    QString currentMessage;
    QString currentType;
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
    connect(d->okButton, SIGNAL(clicked()), this, SLOT(accept()));
    grid->addWidget(d->iconLabel, 0, 0, Qt::AlignTop);
    grid->addWidget(d->textView, 0, 1);
    grid->addWidget(d->showAgainBox, 1, 1, Qt::AlignTop);
    grid->addWidget(d->okButton, 2, 0, 1, 2, Qt::AlignCenter);

    d->iconLabel->setPixmap(QMessageBox::standardIcon(QMessageBox::Information));
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
    d->pending.enqueue(qMakePair(message, type));
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
        const QPair<QString, QString> next = d->pending.dequeue();
        if (!isMessageToBeShown(next.first, next.second))
            continue;
        const std::string html = ansiHtmlConverter().convert(next.first.toUtf8().toStdString());
        d->textView->setHtml(QString::fromUtf8(html.data(), int(html.size())));
        d->currentMessage = next.first;
        d->currentType = next.second;
        return true;
    }
    return false;
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
}
