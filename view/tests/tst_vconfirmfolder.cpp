// The question before a named folder is changed: what it says, which button
// answers what, that Return migrates (previews over a client migrated
// already) while Esc and closing cancel, and which characters it hands on.

#include "view/vconfirmfolder.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTreeView>
#include <QtTest>

using Choice = VConfirmFolder::Choice;
using Character = VCharacterChoice::Character;

class TestVConfirmFolder : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void answers_data();
    void answers();
    void oneAnswerPerQuestion();
    void selection_data();
    void selection();
    void meantButton_data();
    void meantButton();
};

namespace {

QPushButton *buttonNamed(VConfirmFolder &dialog, const QString &text)
{
    for (QPushButton *button : dialog.findChildren<QPushButton *>()) {
        if (button->text() == text)
            return button;
    }
    return nullptr;
}

// Characters C01, C02, ...; the first `migrated` of them look migrated.
QVector<Character> made(int characters, int migrated = 0)
{
    QVector<Character> made;
    for (int at = 0; at < characters; ++at)
        made.append({QString::asprintf("C%02d", at + 1), at < migrated});
    return made;
}

} // namespace

void TestVConfirmFolder::text_data()
{
    QTest::addColumn<QString>("meant"); // empty: asking to migrate
    QTest::addColumn<int>("characters");
    QTest::addColumn<int>("migrated");
    QTest::addColumn<QStringList>("says");
    QTest::newRow("a client") << QString() << 12 << 0
                              << QStringList{"/home/kit/client\n", "12 character folders", "in place",
                                     "can be undone", "None of them looks migrated yet."};
    QTest::newRow("a client of one") << QString() << 1 << 0
                                     << QStringList{"has one character folder.", "not look migrated yet"};
    QTest::newRow("some migrated") << QString() << 12 << 3
                                   << QStringList{"Of them, 3 look migrated already and 9 do not."};
    QTest::newRow("one migrated") << QString() << 12 << 1
                                  << QStringList{"1 looks migrated already and 11 do"};
    QTest::newRow("one not") << QString() << 12 << 11
                             << QStringList{"11 look migrated already and 1 does not"};
    QTest::newRow("all migrated") << QString() << 12 << 12
                                  << QStringList{"All of them look migrated already."};
    QTest::newRow("one, migrated") << QString() << 1 << 1 << QStringList{"It looks migrated already."};
    QTest::newRow("a folder one level off")
        << "/home/kit/client" << 0 << 0
        << QStringList{"/home/kit/client/base holds no character folders", "is probably\n/home/kit/client"};
}

void TestVConfirmFolder::text()
{
    QFETCH(QString, meant);
    QFETCH(int, characters);
    QFETCH(int, migrated);
    QFETCH(QStringList, says);
    VConfirmFolder dialog;
    if (meant.isEmpty())
        dialog.askMigrate("/home/kit/client", made(characters, migrated));
    else
        dialog.askMeant("/home/kit/client/base", meant);
    QVERIFY(dialog.isVisible());
    for (const QString &part : says)
        QVERIFY2(dialog.text().contains(part), qPrintable(dialog.text()));
}

void TestVConfirmFolder::answers_data()
{
    QTest::addColumn<bool>("meant");
    QTest::addColumn<int>("migrated"); // of the client's 3 characters
    QTest::addColumn<QString>("press"); // a button's text, or "Return", "Esc", "close"
    QTest::addColumn<Choice>("expected");
    QTest::newRow("Migrate") << false << 0 << "&Migrate" << Choice::Migrate;
    QTest::newRow("Return migrates") << false << 0 << "Return" << Choice::Migrate;
    QTest::newRow("Return migrates the rest") << false << 2 << "Return" << Choice::Migrate;
    QTest::newRow("Return previews all migrated") << false << 3 << "Return" << Choice::Preview;
    QTest::newRow("Migrate them anyway") << false << 3 << "&Migrate" << Choice::Migrate;
    QTest::newRow("Preview") << false << 0 << "&Preview" << Choice::Preview;
    QTest::newRow("Cancel") << false << 0 << "Cancel" << Choice::Cancel;
    QTest::newRow("Esc cancels") << false << 0 << "Esc" << Choice::Cancel;
    QTest::newRow("closing cancels") << false << 0 << "close" << Choice::Cancel;
    QTest::newRow("take the folder meant") << true << 0 << "&Use c" << Choice::TakeMeant;
    QTest::newRow("Return takes it") << true << 0 << "Return" << Choice::TakeMeant;
    QTest::newRow("Return takes it after all migrated") << true << 3 << "Return" << Choice::TakeMeant;
    QTest::newRow("choose again") << true << 0 << "&Choose another..." << Choice::ChooseAgain;
    QTest::newRow("cancel instead") << true << 0 << "Esc" << Choice::Cancel;
}

void TestVConfirmFolder::answers()
{
    QFETCH(bool, meant);
    QFETCH(int, migrated);
    QFETCH(QString, press);
    QFETCH(Choice, expected);
    VConfirmFolder dialog;
    QSignalSpy chosen(&dialog, &VConfirmFolder::chosen);
    // The same dialog asks either question, whatever it asked before.
    dialog.askMeant("/c/base", "/c");
    dialog.hide();
    dialog.askMigrate("/c", made(3, migrated));
    if (meant) {
        dialog.hide();
        dialog.askMeant("/c/base", "/c");
    }
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    if (press == "Return")
        QTest::keyClick(&dialog, Qt::Key_Return);
    else if (press == "Esc")
        QTest::keyClick(&dialog, Qt::Key_Escape);
    else if (press == "close")
        dialog.close();
    else {
        QPushButton *button = press == "Cancel"
            ? dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel)
            : buttonNamed(dialog, press);
        QVERIFY2(button, qPrintable(press));
        QTest::mouseClick(button, Qt::LeftButton);
    }
    QCOMPARE(chosen.size(), 1);
    QCOMPARE(chosen.first().first().value<Choice>(), expected);
    QVERIFY(!dialog.isVisible());
}

void TestVConfirmFolder::oneAnswerPerQuestion()
{
    VConfirmFolder dialog;
    QSignalSpy chosen(&dialog, &VConfirmFolder::chosen);
    dialog.askMigrate("/c", made(3));
    QTest::mouseClick(buttonNamed(dialog, "&Preview"), Qt::LeftButton);
    dialog.reject(); // a late Esc after the answer
    QCOMPARE(chosen.size(), 1);
}

void TestVConfirmFolder::selection_data()
{
    // What the user does, a step at a time: a button's text, "filter:TEXT",
    // "space:NAME" (a check box toggled from the keyboard), "space" (on the
    // current row), "again" (asked
    // again about the same client, as after a preview) or "other" (asked
    // about another client).
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("expected"); // empty: every character
    QTest::addColumn<bool>("runnable"); // Migrate and Preview enabled
    QTest::newRow("all, untouched") << QStringList() << QStringList() << true;
    QTest::newRow("none") << QStringList{"Select &none"} << QStringList() << false;
    QTest::newRow("none, then all") << QStringList{"Select &none", "Select &all"} << QStringList() << true;
    QTest::newRow("two by keyboard") << QStringList{"Select &none", "space:C07", "space:C02"}
                                     << QStringList{"C02", "C07"} << true;
    QStringList nineteen;
    for (const Character &character : made(19))
        nineteen.append(character.name);
    QTest::newRow("the first shown is current") << QStringList{"Select &none", "space:C02", "filter:C07",
        "space"} << QStringList{"C02", "C07"} << true;
    QTest::newRow("one unchecked") << QStringList{"space:C20"} << nineteen << true;
    QTest::newRow("through the filter")
        << QStringList{"Select &none", "filter:c1", "Select &all", "filter:", "space:C11"}
        << QStringList{"C10", "C12", "C13", "C14", "C15", "C16", "C17", "C18", "C19"} << true;
    QTest::newRow("none of those shown")
        << QStringList{"filter:C0", "Select &none"}
        << QStringList{"C10", "C11", "C12", "C13", "C14", "C15", "C16", "C17", "C18", "C19", "C20"} << true;
    QTest::newRow("kept when asked again")
        << QStringList{"Select &none", "space:C03", "again"} << QStringList{"C03"} << true;
    QTest::newRow("not for another client") << QStringList{"Select &none", "other"} << QStringList() << true;
}

void TestVConfirmFolder::selection()
{
    QFETCH(QStringList, steps);
    QFETCH(QStringList, expected);
    QFETCH(bool, runnable);
    VConfirmFolder dialog;
    QSignalSpy chosen(&dialog, &VConfirmFolder::chosen);
    dialog.askMigrate("/c", made(20, 5));
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    auto *list = dialog.findChild<QTreeView *>();
    for (const QString &step : steps) {
        if (step.startsWith("filter:")) {
            dialog.findChild<QLineEdit *>()->setText(step.mid(7));
        } else if (step.startsWith("space:")) {
            const QModelIndexList found
                = list->model()->match(list->model()->index(0, 0), Qt::DisplayRole, step.mid(6));
            QCOMPARE(found.size(), 1);
            list->setCurrentIndex(found.first());
            QTest::keyClick(list, Qt::Key_Space);
        } else if (step == "space") {
            QTest::keyClick(list, Qt::Key_Space);
        } else if (step == "again" || step == "other") {
            dialog.hide();
            dialog.askMigrate(step == "again" ? "/c" : "/d", made(20, 5));
        } else {
            QTest::mouseClick(buttonNamed(dialog, step), Qt::LeftButton);
        }
    }
    QCOMPARE(dialog.selection(), expected);
    QCOMPARE(buttonNamed(dialog, "&Migrate")->isEnabled(), runnable);
    QCOMPARE(buttonNamed(dialog, "&Preview")->isEnabled(), runnable);
    // Return, wherever the focus is, answers only while there is a run to make.
    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
    QCOMPARE(chosen.size(), runnable ? 1 : 0);
}

void TestVConfirmFolder::meantButton_data()
{
    QTest::addColumn<QString>("meant");
    QTest::addColumn<QString>("button");
    QTest::newRow("the client") << "/home/kit/client"
                                << "&Use client";
    QTest::newRow("an ampersand is no mnemonic") << "/home/kit/R&D"
                                                 << "&Use R&&D";
    QTest::newRow("the root has no name") << "/"
                                          << "&Use this folder";
}

void TestVConfirmFolder::meantButton()
{
    QFETCH(QString, meant);
    QFETCH(QString, button);
    VConfirmFolder dialog;
    dialog.askMigrate("/c", made(3));
    // With none checked, Migrate was disabled: the same button takes the folder meant.
    QTest::mouseClick(buttonNamed(dialog, "Select &none"), Qt::LeftButton);
    dialog.hide();
    dialog.askMeant(meant + "/base", meant);
    QPushButton *accept = buttonNamed(dialog, button);
    QVERIFY2(accept, qPrintable(button));
    QVERIFY(accept->isEnabled() && accept->isDefault());
    QVERIFY(dialog.text().contains("is probably\n" + meant));
}

QTEST_MAIN(TestVConfirmFolder)
#include "tst_vconfirmfolder.moc"
