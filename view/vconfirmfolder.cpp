#include "view/vconfirmfolder.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

VConfirmFolder::VConfirmFolder(QWidget *parent)
    : QDialog(parent)
    , m_text(new QLabel(this))
    , m_buttons(new QDialogButtonBox(this))
{
    setWindowTitle(tr("Migrate this client?"));
    m_text->setWordWrap(true);
    m_text->setTextFormat(Qt::PlainText);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    // Room for a long path on a few lines, without the dialog growing wide.
    m_text->setMinimumWidth(fontMetrics().averageCharWidth() * 60);

    m_accept = m_buttons->addButton(QString(), QDialogButtonBox::AcceptRole);
    m_other = m_buttons->addButton(QString(), QDialogButtonBox::ActionRole);
    m_buttons->addButton(QDialogButtonBox::Cancel);
    connect(m_accept, &QPushButton::clicked, this,
        [this] { answer(m_asksMeant ? Choice::TakeMeant : Choice::Migrate); });
    connect(m_other, &QPushButton::clicked, this,
        [this] { answer(m_asksMeant ? Choice::ChooseAgain : Choice::Preview); });
    connect(m_buttons, &QDialogButtonBox::rejected, this, &VConfirmFolder::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_buttons);
}

void VConfirmFolder::askMigrate(const QString &folder, int characters)
{
    m_asksMeant = false;
    setWindowTitle(tr("Migrate this client?"));
    const QString count
        = characters == 1 ? tr("one character folder") : tr("%1 character folders").arg(characters);
    m_text->setText(tr("%1\n\nThis client has %2. Migrating changes the folder in place: files are moved and "
                       "byte-identical duplicates deleted. Every change is written to the run's journal and "
                       "can be undone.\n\nPreview shows the log of the run without changing anything.")
                        .arg(QDir::toNativeSeparators(folder), count));
    m_accept->setText(tr("&Migrate"));
    m_other->setText(tr("&Preview"));
    m_accept->setDefault(true);
    m_accept->setFocus(Qt::OtherFocusReason);
    show();
}

void VConfirmFolder::askMeant(const QString &folder, const QString &meant)
{
    m_asksMeant = true;
    setWindowTitle(tr("Is this the client folder?"));
    m_text->setText(tr("%1 holds no character folders.\n\nThe client's top folder, the one that holds base, "
                       "is probably\n%2")
                        .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(meant)));
    m_accept->setText(tr("&Use this folder"));
    m_other->setText(tr("&Choose another..."));
    m_accept->setDefault(true);
    m_accept->setFocus(Qt::OtherFocusReason);
    show();
}

QString VConfirmFolder::text() const
{
    return m_text->text();
}

void VConfirmFolder::reject()
{
    answer(Choice::Cancel);
}

void VConfirmFolder::answer(Choice choice)
{
    if (!isVisible())
        return; // one answer per question
    // hide(), not done(): what follows opens windows of its own, and this
    // one closing must not count as the program's last window closing.
    hide();
    emit chosen(choice);
}
