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
    void returnDoesNotCancel();
    void timeText_data();
    void timeText();
    void undoCountsChanges();
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

void TestVMigrationProgress::returnDoesNotCancel()
{
    VMigrationProgress dialog;
    QSignalSpy canceled(&dialog, &VMigrationProgress::canceled);
    dialog.start(0);
    QTRY_VERIFY(dialog.isVisible());
    dialog.setProgress(1, 9, "Kit");
    QPushButton *button = dialog.findChild<QDialogButtonBox *>()->button(QDialogButtonBox::Cancel);
    QVERIFY(!button->isDefault());
    QVERIFY(!button->autoDefault());
    // Even with the focus on Cancel, which makes an auto-default button take Return.
    button->setFocus();
    for (const Qt::Key key : {Qt::Key_Return, Qt::Key_Enter}) {
        QTest::keyClick(&dialog, key);
        QTest::keyClick(button, key);
    }
    QCOMPARE(canceled.size(), 0);
    QVERIFY(dialog.isVisible());
    QTest::keyClick(button, Qt::Key_Space); // a button pressed is still Cancel
    QCOMPARE(canceled.size(), 1);
    dialog.finish();
}

void TestVMigrationProgress::timeText_data()
{
    QTest::addColumn<qint64>("elapsedMs");
    QTest::addColumn<int>("done");
    QTest::addColumn<int>("total");
    QTest::addColumn<QString>("expected");
    QTest::newRow("at the start") << qint64(0) << 0 << 10 << "Time spent 0:00";
    QTest::newRow("too few done to guess") << qint64(61500) << 2 << 10 << "Time spent 1:01";
    QTest::newRow("three done: the rest at their pace")
        << qint64(30000) << 3 << 10 << "Time spent 0:30, about 1:10 left";
    QTest::newRow("half done") << qint64(125000) << 50 << 100 << "Time spent 2:05, about 2:05 left";
    QTest::newRow("hours") << qint64(3600000) << 10 << 30 << "Time spent 1:00:00, about 2:00:00 left";
    QTest::newRow("all done: nothing left to guess") << qint64(9000) << 5 << 5 << "Time spent 0:09";
}

void TestVMigrationProgress::timeText()
{
    QFETCH(qint64, elapsedMs);
    QFETCH(int, done);
    QFETCH(int, total);
    QFETCH(QString, expected);
    QCOMPARE(VMigrationProgress::timeText(elapsedMs, done, total), expected);
}

void TestVMigrationProgress::undoCountsChanges()
{
    VMigrationProgress dialog;
    dialog.setTask(VMigrationProgress::Task::Undo);
    dialog.start(0);
    QTRY_VERIFY(dialog.isVisible());
    QCOMPARE(dialog.windowTitle(), "Undoing the run");
    dialog.setProgress(2, 7, "base/characters/Kit/actor.png");
    const QList<QLabel *> labels = dialog.findChildren<QLabel *>();
    QCOMPARE(labels.first()->text(), "Taking back change 3 of 7: base/characters/Kit/actor.png");
    QCOMPARE(labels.last()->text(), "Time spent 0:00");
    dialog.finish();
}

QTEST_MAIN(TestVMigrationProgress)
#include "tst_vmigrationprogress.moc"
