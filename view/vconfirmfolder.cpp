#include "view/vconfirmfolder.h"

#include <QDialogButtonBox>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// How many of a client's characters look migrated already, and how many not.
QString stateText(int characters, int migrated)
{
    if (characters == 1)
        return migrated == 1 ? VConfirmFolder::tr("It looks migrated already.")
                             : VConfirmFolder::tr("It does not look migrated yet.");
    if (migrated == characters)
        return VConfirmFolder::tr("All of them look migrated already.");
    if (migrated == 0)
        return VConfirmFolder::tr("None of them looks migrated yet.");
    const int left = characters - migrated;
    return VConfirmFolder::tr("Of them, %1 migrated already and %2.")
        .arg(migrated == 1 ? VConfirmFolder::tr("1 looks") : VConfirmFolder::tr("%1 look").arg(migrated),
            left == 1 ? VConfirmFolder::tr("1 does not") : VConfirmFolder::tr("%1 do not").arg(left));
}

} // namespace

VConfirmFolder::VConfirmFolder(QWidget *parent)
    : QDialog(parent)
    , m_text(new QLabel(this))
    , m_choice(new VCharacterChoice(this))
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
    connect(m_choice, &VCharacterChoice::checkedCountChanged, this, &VConfirmFolder::enableRun);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_text);
    layout->addWidget(m_choice, 1);
    layout->addWidget(m_buttons);
}

void VConfirmFolder::askMigrate(const QString &folder, const QVector<VCharacterChoice::Character> &characters)
{
    m_asksMeant = false;
    setWindowTitle(tr("Migrate this client?"));
    int migrated = 0;
    for (const VCharacterChoice::Character &character : characters)
        migrated += character.migrated;
    const int total = characters.size();
    const QString count = total == 1 ? tr("one character folder") : tr("%1 character folders").arg(total);
    m_text->setText(tr("%1\n\nThis client has %2. %3 Migrating changes the checked ones in place: files are "
                       "moved and byte-identical duplicates deleted. Every change is written to the run's "
                       "journal and can be undone.\n\nPreview shows the log of the run without changing "
                       "anything.")
                        .arg(QDir::toNativeSeparators(folder), count, stateText(total, migrated)));
    m_choice->setCharacters(folder, characters);
    m_choice->show();
    m_accept->setText(tr("&Migrate"));
    m_other->setText(tr("&Preview"));
    // Over a client migrated already, Return looks before it leaps.
    QPushButton *byDefault = migrated == total ? m_other : m_accept;
    m_accept->setDefault(byDefault == m_accept);
    m_other->setDefault(byDefault == m_other);
    enableRun(m_choice->checkedCount());
    byDefault->setFocus(Qt::OtherFocusReason);
    show();
}

void VConfirmFolder::askMeant(const QString &folder, const QString &meant)
{
    m_asksMeant = true;
    setWindowTitle(tr("Is this the client folder?"));
    m_text->setText(tr("%1 holds no character folders.\n\nThe client's top folder, the one that holds base, "
                       "is probably\n%2")
                        .arg(QDir::toNativeSeparators(folder), QDir::toNativeSeparators(meant)));
    m_choice->hide();
    // The button names the folder it takes; the text above holds its path.
    const QString name = fontMetrics().elidedText(
        QFileInfo(meant).fileName(), Qt::ElideMiddle, fontMetrics().averageCharWidth() * 30);
    m_accept->setText(name.isEmpty() ? tr("&Use this folder")
                                     : tr("&Use %1").arg(QString(name).replace(QLatin1Char('&'), "&&")));
    m_other->setText(tr("&Choose another..."));
    m_accept->setEnabled(true);
    m_other->setEnabled(true);
    m_other->setDefault(false);
    m_accept->setDefault(true);
    m_accept->setFocus(Qt::OtherFocusReason);
    show();
}

QString VConfirmFolder::text() const
{
    return m_text->text();
}

QStringList VConfirmFolder::selection() const
{
    return m_choice->selection();
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

void VConfirmFolder::enableRun(int checked)
{
    if (m_asksMeant)
        return;
    // A disabled button hands its focus on, and Cancel next in line would
    // take Return with it: the list keeps the focus instead, and Return,
    // whose Migrate or Preview is disabled, does nothing.
    if (checked == 0 && (m_accept->hasFocus() || m_other->hasFocus()))
        m_choice->setFocus(Qt::OtherFocusReason);
    m_accept->setEnabled(checked > 0);
    m_other->setEnabled(checked > 0);
}
