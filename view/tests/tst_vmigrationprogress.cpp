// The progress dialog: hidden for a short run, what it says for a long one,
// and Cancel asking once, without ever closing the dialog.

#include "view/vmigrationprogress.h"

#include <QApplication>
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
    void longRunShowsProgress();
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
    dialog.start(0); // a finished run stays finished
    QTest::qWait(50);
    QVERIFY(!dialog.isVisible());
}

void TestVMigrationProgress::longRunShowsProgress()
{
    VMigrationProgress dialog;
    dialog.start(0);
    QTRY_VERIFY(dialog.isVisible());
    dialog.setProgress(2, 300, "Mira");
    QCOMPARE(dialog.findChild<QLabel *>()->text(), "Migrating Mira, character 3 of 300");
    QCOMPARE(dialog.findChild<QProgressBar *>()->value(), 2);
    QCOMPARE(dialog.findChild<QProgressBar *>()->maximum(), 300);
    dialog.finish();
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
    QSignalSpy lastWindowClosed(qApp, &QGuiApplication::lastWindowClosed);
    dialog.start(0);
    QTRY_VERIFY(dialog.isVisible());
    dialog.setProgress(4, 9, "Kit");
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
    QVERIFY(dialog.isCanceled());
    QVERIFY(dialog.isVisible()); // until the run ends
    QVERIFY(!button->isEnabled());
    QCOMPARE(dialog.findChild<QLabel *>()->text(), "Stopping after Kit...");
    dialog.setProgress(5, 9, "Lou"); // a late report does not undo it
    QCOMPARE(dialog.findChild<QLabel *>()->text(), "Stopping after Kit...");
    dialog.finish();
    QVERIFY(!dialog.isVisible());
    QCOMPARE(lastWindowClosed.size(), 0);
}

QTEST_MAIN(TestVMigrationProgress)
#include "tst_vmigrationprogress.moc"
