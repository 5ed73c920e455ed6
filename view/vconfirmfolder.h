#pragma once

#include "view/vcharacterchoice.h"

#include <QDialog>
#include <QString>
#include <QStringList>
#include <QVector>

class QDialogButtonBox;
class QLabel;
class QPushButton;

// Asks before a folder the user named is changed. For a client it names the
// folder and its number of characters, how many of them look migrated
// already, says that the folder is changed in place and that the run can be
// undone, lists the characters to check those the run takes, and offers
// Migrate (the default), Preview (the default instead when every character
// looks migrated: a run would have little to do) and Cancel; with no
// character checked, neither Migrate nor Preview can be chosen. For a folder
// one level off (a "base" or "characters" folder, a character folder) it names
// the client's top folder the user probably meant, on its accept button too,
// and offers to take that one or to choose again.
//
// The dialog is modeless and never closes itself: its answer arrives as
// chosen(), once per question, and the dialog hides.
class VConfirmFolder : public QDialog
{
    Q_OBJECT

public:
    enum class Choice { Migrate, Preview, Cancel, TakeMeant, ChooseAgain };
    Q_ENUM(Choice)

    explicit VConfirmFolder(QWidget *parent = nullptr);

    // Asks whether to migrate `folder`, a client with `characters`. Asked
    // again about the same folder, the characters keep their checks.
    void askMigrate(const QString &folder, const QVector<VCharacterChoice::Character> &characters);
    // Asks whether `meant` is the folder the user wanted instead of `folder`.
    void askMeant(const QString &folder, const QString &meant);

    QString text() const;
    // The characters checked when Migrate or Preview was chosen; empty when
    // all of them were.
    QStringList selection() const;

signals:
    void chosen(VConfirmFolder::Choice choice);

public slots:
    void reject() override; // Esc and closing the window cancel

private:
    void answer(Choice choice);
    void enableRun(int checked);

    QLabel *m_text = nullptr;
    VCharacterChoice *m_choice = nullptr;
    QDialogButtonBox *m_buttons = nullptr;
    QPushButton *m_accept = nullptr; // Migrate, or take the folder meant
    QPushButton *m_other = nullptr; // Preview, or choose again
    bool m_asksMeant = false;
};
