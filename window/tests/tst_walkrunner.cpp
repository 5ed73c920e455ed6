// The walk on its worker thread: what reaches the log window for a run that
// ends, one stopped part-way and one that finds nothing, and how far a stop
// lets the walk go.

#include "run/report.h"
#include "testsupport/treefixture.h"
#include "window/walkrunner.h"

#include <QDir>
#include <QFileInfo>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

class TestWalkRunner : public QObject
{
    Q_OBJECT

private slots:
    void message_data();
    void message();
    void previewAndUndo_data();
    void previewAndUndo();
};

void TestWalkRunner::message_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<int>("stopDuring"); // the folder (1-based) whose conversion asks to stop; 0: none
    QTest::addColumn<QString>("expected");
    QTest::addColumn<int>("migrated");

    const QStringList abc{"base/characters/A/p.png=", "base/characters/B/p.png=", "base/characters/C/p.png="};
    const QString a = "Restructuring A...\nconverted\nDone!\n";
    const QString b = "Restructuring B...\nconverted\nDone!\n";
    const QString c = "Restructuring C...\nconverted\nDone!\n";
    QTest::newRow("not stopped: the walk's own log") << abc << 0 << a + "\n" + b + "\n" + c << 3;
    QTest::newRow("stopped during the first") << abc << 1 << a + "\nStopped after 1 of 3 characters." << 1;
    QTest::newRow("stopped during the second")
        << abc << 2 << a + "\n" + b + "\nStopped after 2 of 3 characters." << 2;
    QTest::newRow("stopped during the last: nothing was left") << abc << 3 << a + "\n" + b + "\n" + c << 3;
    QTest::newRow("no character folder")
        << QStringList{"base/characters/"} << 0 << "No character folders found in %1/base/characters." << 0;
}

void TestWalkRunner::message()
{
    QFETCH(QStringList, tree);
    QFETCH(int, stopDuring);
    QFETCH(QString, expected);
    QFETCH(int, migrated);

    QTemporaryDir client;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(client.path()));
    QVERIFY(TreeFixture::build(".", tree));

    int calls = 0;
    WalkRunner *self = nullptr;
    WalkRunner runner([&](RunContext &run, const QStringList &) {
        if (++calls == stopDuring)
            self->requestStop(); // from the worker, as a click would come from elsewhere
        run.report.line("converted");
    });
    self = &runner;
    QSignalSpy finished(&runner, &WalkRunner::finished);
    QSignalSpy progress(&runner, &WalkRunner::progress);

    QVERIFY(runner.start(client.path()));
    QVERIFY(!runner.start(client.path())); // one walk at a time
    QVERIFY(finished.wait(60000));
    QVERIFY(!runner.isRunning());
    QCOMPARE(finished.size(), 1);
    QCOMPARE(finished.at(0).at(0).toString(), expected.arg(QDir::currentPath()));
    QCOMPARE(progress.size(), migrated);

    // The folders after the stop are as they were.
    int moved = 0;
    for (const char *name : {"A", "B", "C"})
        moved += QFile::exists(QString("base/characters/%1/sprites/p.png").arg(name)) ? 1 : 0;
    QCOMPARE(moved, migrated);
    QDir::setCurrent(previous);
}

void TestWalkRunner::previewAndUndo_data()
{
    QTest::addColumn<QStringList>("tree");
    QTest::addColumn<bool>("dryRun");
    QTest::addColumn<bool>("undoable"); // the log window may offer an undo

    const QStringList moves{"base/characters/A/p.png=", "base/characters/B/p.png="};
    QTest::newRow("a run that changed something") << moves << false << true;
    QTest::newRow("its preview changed nothing") << moves << true << false;
    // Already migrated: the run keeps a journal, but there is nothing to undo.
    QTest::newRow("a run that changed nothing")
        << QStringList{"base/characters/A/sprites/p.png=", "base/characters/A/char.toml="} << false << false;
}

void TestWalkRunner::previewAndUndo()
{
    QFETCH(QStringList, tree);
    QFETCH(bool, dryRun);
    QFETCH(bool, undoable);

    QTemporaryDir client;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(client.path()));
    QVERIFY(TreeFixture::build(".", tree));
    const QStringList before = TreeFixture::describe(".");

    WalkRunner runner([](RunContext &run, const QStringList &) { run.report.line("converted"); });
    QSignalSpy finished(&runner, &WalkRunner::finished);
    QVERIFY(runner.start(client.path(), dryRun));
    QVERIFY(finished.wait(60000));
    QVERIFY(!runner.wasStopped());
    QCOMPARE(!runner.undoableJournal().isEmpty(), undoable);
    if (dryRun)
        QCOMPARE(TreeFixture::describe("."), before);
    if (undoable) {
        QVERIFY(TreeFixture::describe(".") != before);
        const QString journal = runner.undoableJournal();
        QVERIFY(QFileInfo(journal).isFile());
        QSignalSpy progress(&runner, &WalkRunner::progress);
        QVERIFY(runner.startUndo(journal));
        QVERIFY(finished.wait(60000));
        QVERIFY(finished.last().at(0).toString().endsWith("Done!\n"));
        QVERIFY(progress.size() > 0); // the undo is watched as a run is
        // The undo itself offers no undo of its own.
        QVERIFY(runner.undoableJournal().isEmpty());
        QCOMPARE(TreeFixture::describe("."), before);
    }
    QDir::setCurrent(previous);
}

QTEST_GUILESS_MAIN(TestWalkRunner)
#include "tst_walkrunner.moc"
