// The progress dialog: hidden for a short run, what it says for a long one,
// and Cancel asking once without closing the dialog.

#include "view/vmigrationprogress.h"

#include <QDialogButtonBox>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QSignalSpy>
#include <QtTest>

class TestVMigrationProgress : public QObject
{
    Q_OBJECT

private slots:
    void shortRunNeverShows();
    void cancel_data();
    void cancel();
};

void TestVMigrationProgress::shortRunNeverShows()
{
    VMigrationProgress dialog;
    dialog.start(50);
    dialog.setProgress(0, 2, "Alpha");
    dialog.finish();
    QTest::qWait(200); // well past the delay
    QVERIFY(!dialog.isVisible());
}

void TestVMigrationProgress::cancel_data()
{
    QTest::addColumn<QString>("how");
    QTest::newRow("Cancel button") << "button";
    QTest::newRow("Esc") << "escape";
    QTest::newRow("closing the window") << "close";
}

void TestVMigrationProgress::cancel()
{
    QFETCH(QString, how);
    VMigrationProgress dialog;
    QSignalSpy canceled(&dialog, &VMigrationProgress::canceled);
    dialog.start(0);
    QTRY_VERIFY(dialog.isVisible());
    dialog.setProgress(4, 9, "Kit");
    auto *label = dialog.findChild<QLabel *>();
    QCOMPARE(label->text(), "Migrating Kit, character 5 of 9");
    QCOMPARE(dialog.findChild<QProgressBar *>()->value(), 4);

    QPushButton *button = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel);
    for (int twice = 0; twice < 2; ++twice) {
        if (how == "button")
            QTest::mouseClick(button, Qt::LeftButton);
        else if (how == "escape")
            QTest::keyClick(&dialog, Qt::Key_Escape);
        else
            dialog.close();
    }
    QCOMPARE(canceled.size(), 1);
    QVERIFY(dialog.isVisible()); // until the run ends
    QVERIFY(!button->isEnabled());
    dialog.setProgress(5, 9, "Lou"); // a late report does not undo it
    QCOMPARE(label->text(), "Stopping after Kit...");
    dialog.finish();
    QVERIFY(!dialog.isVisible());
}

QTEST_MAIN(TestVMigrationProgress)
#include "tst_vmigrationprogress.moc"
