// The question before a named folder is changed: what it says, which button
// answers what, and that Return migrates while Esc and closing cancel.

#include "view/vconfirmfolder.h"

#include <QDialogButtonBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

using Choice = VConfirmFolder::Choice;

class TestVConfirmFolder : public QObject
{
    Q_OBJECT

private slots:
    void text_data();
    void text();
    void answers_data();
    void answers();
    void oneAnswerPerQuestion();
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

} // namespace

void TestVConfirmFolder::text_data()
{
    QTest::addColumn<QString>("meant"); // empty: asking to migrate
    QTest::addColumn<int>("characters");
    QTest::addColumn<QStringList>("says");
    QTest::newRow("a client") << QString() << 12
                              << QStringList{"/home/kit/client\n", "12 character folders", "in place",
                                     "can be undone"};
    QTest::newRow("a client of one") << QString() << 1 << QStringList{"has one character folder."};
    QTest::newRow("a folder one level off")
        << "/home/kit/client" << 0
        << QStringList{"/home/kit/client/base holds no character folders", "is probably\n/home/kit/client"};
}

void TestVConfirmFolder::text()
{
    QFETCH(QString, meant);
    QFETCH(int, characters);
    QFETCH(QStringList, says);
    VConfirmFolder dialog;
    if (meant.isEmpty())
        dialog.askMigrate("/home/kit/client", characters);
    else
        dialog.askMeant("/home/kit/client/base", meant);
    QVERIFY(dialog.isVisible());
    for (const QString &part : says)
        QVERIFY2(dialog.text().contains(part), qPrintable(dialog.text()));
}

void TestVConfirmFolder::answers_data()
{
    QTest::addColumn<bool>("meant");
    QTest::addColumn<QString>("press"); // a button's text, or "Return", "Esc", "close"
    QTest::addColumn<Choice>("expected");
    QTest::newRow("Migrate") << false << "&Migrate" << Choice::Migrate;
    QTest::newRow("Return migrates") << false << "Return" << Choice::Migrate;
    QTest::newRow("Preview") << false << "&Preview" << Choice::Preview;
    QTest::newRow("Cancel") << false << "Cancel" << Choice::Cancel;
    QTest::newRow("Esc cancels") << false << "Esc" << Choice::Cancel;
    QTest::newRow("closing cancels") << false << "close" << Choice::Cancel;
    QTest::newRow("take the folder meant") << true << "&Use this folder" << Choice::TakeMeant;
    QTest::newRow("Return takes it") << true << "Return" << Choice::TakeMeant;
    QTest::newRow("choose again") << true << "&Choose another..." << Choice::ChooseAgain;
    QTest::newRow("cancel instead") << true << "Esc" << Choice::Cancel;
}

void TestVConfirmFolder::answers()
{
    QFETCH(bool, meant);
    QFETCH(QString, press);
    QFETCH(Choice, expected);
    VConfirmFolder dialog;
    QSignalSpy chosen(&dialog, &VConfirmFolder::chosen);
    // The same dialog asks either question, whatever it asked before.
    dialog.askMeant("/c/base", "/c");
    dialog.hide();
    dialog.askMigrate("/c", 3);
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
    dialog.askMigrate("/c", 3);
    QTest::mouseClick(buttonNamed(dialog, "&Preview"), Qt::LeftButton);
    dialog.reject(); // a late Esc after the answer
    QCOMPARE(chosen.size(), 1);
}

QTEST_MAIN(TestVConfirmFolder)
#include "tst_vconfirmfolder.moc"
