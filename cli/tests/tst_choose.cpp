// Choosing the characters a run takes, and what the undo and the journal
// list make of a run over part of a client.

#include "cli/nearestnames.h"
#include "testsupport/clirunner.h"
#include "testsupport/treefixture.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QThread>
#include <QtTest>

#include <csignal>
#include <sys/types.h>

class TestChoose : public QObject
{
    Q_OBJECT

private slots:
    void nearestNames_data();
    void nearestNames();
    void runAndUndoCoverTheChosen();
    void journalOfAWorkingRun();
    void stoppedUndoEndsItsLine();
};

void TestChoose::nearestNames_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<QStringList>("names");
    QTest::addColumn<QStringList>("nearest");

    QTest::newRow("two as near, in their order")
        << "Mrai" << QStringList{"Kit", "Mira", "Mara"} << QStringList{"Mira", "Mara"};
    QTest::newRow("case ignored") << "kit" << QStringList{"Mara", "KIT"} << QStringList{"KIT"};
    QTest::newRow("nearest first") << "Kitt" << QStringList{"Kat", "Kitty", "Kit"}
                                   << QStringList{"Kitty", "Kit", "Kat"};
    QTest::newRow("three at most") << "Ab" << QStringList{"Ax", "Ab1", "Aby", "Abz"}
                                   << QStringList{"Ax", "Ab1", "Aby"};
    QTest::newRow("none near") << "Zed" << QStringList{"Mira", "Kit"} << QStringList();
}

void TestChoose::nearestNames()
{
    QFETCH(QString, name);
    QFETCH(QStringList, names);
    QTEST(::nearestNames(name, names), "nearest");
}

void TestChoose::runAndUndoCoverTheChosen()
{
    QTemporaryDir client;
    QStringList entries;
    for (const char *name : {"Ann", "Bo", "Cy", "Di"})
        entries << QString("base/characters/%1/char_icon.png=i").arg(name)
                << QString("base/characters/%1/a.png=a").arg(name);
    QVERIFY(TreeFixture::build(client.path(), entries));
    const QStringList original = TreeFixture::describe(client.path());
    const QString characters = client.filePath("base/characters/");

    const CliRun chosen = runCli({"--character", "Bo", "--character", "Di", client.path()});
    QCOMPARE(chosen.exitCode, 0);
    QVERIFY2(
        chosen.err.startsWith("veltra-cli: 2 characters done, 4 moves, 0 duplicates deleted, 0 documents "
                              "written, 2 folders created, 0 error lines; journal: "),
        chosen.err.constData());
    QCOMPARE(chosen.out, QByteArray("Restructuring Bo...\nDone!\n\nRestructuring Di...\nDone!\n"));
    for (const char *name : {"Ann", "Bo", "Cy", "Di"})
        QCOMPARE(QFile::exists(characters + name + "/actor.png"), QByteArray("BoDi").contains(name));
    const QDir journals(client.filePath("veltra-journal"));
    const QString first = journals.entryList(QDir::Files).value(0);
    QFile journal(journals.filePath(first));
    QVERIFY(journal.open(QIODevice::ReadOnly));
    const QByteArray written = journal.readAll();
    journal.close();
    QVERIFY(!written.contains("Ann/") && !written.contains("Cy/"));
    const QStringList partly = TreeFixture::describe(client.path());

    // The rest makes a journal of its own and leaves the first as it was.
    QCOMPARE(runCli({"-q", client.path()}).exitCode, 0);
    QCOMPARE(journals.entryList(QDir::Files).size(), 2);
    QVERIFY(journal.open(QIODevice::ReadOnly));
    QCOMPARE(journal.readAll(), written);
    journal.close();
    QCOMPARE(runCli({"-q", "--undo", client.path()}).exitCode, 0);
    QCOMPARE(TreeFixture::describe(client.path()), partly);

    const CliRun undo = runCli({"--undo", client.path()});
    QCOMPARE(undo.exitCode, 0);
    QVERIFY2(undo.err.contains(first.toUtf8())
            && undo.err.contains("veltra-cli: undo, 4 moves, 0 deletions, 0 documents written, 2 folders "
                                 "removed, 0 error lines; journal: "),
        undo.err.constData());
    QCOMPARE(TreeFixture::describe(client.path()), original);
}

void TestChoose::journalOfAWorkingRun()
{
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), {"base/characters/Kit/char_icon.png=i"}));
    QCOMPARE(runCli({"-q", client.path()}).exitCode, 0);
    // A run that has not reached its end: its journal has no closing record.
    const QDir journals(client.filePath("veltra-journal"));
    QFile journal(journals.filePath(journals.entryList(QDir::Files).value(0)));
    QVERIFY(journal.open(QIODevice::ReadOnly));
    QByteArray lines = journal.readAll();
    journal.close();
    lines.chop(1);
    lines.truncate(lines.lastIndexOf('\n') + 1);
    QVERIFY(journal.open(QIODevice::WriteOnly | QIODevice::Truncate));
    journal.write(lines);
    journal.close();
    QVERIFY(runCli({"--journals", client.path()}).out.contains("cut short"));

    QProcess holder;
    holder.start("flock", {"-x", "-o", client.path(), "sleep", "30"});
    QVERIFY(holder.waitForStarted());
    QByteArray listed;
    for (int i = 0; i < 100 && !listed.contains("working"); ++i) {
        QThread::msleep(50);
        listed = runCli({"--journals", client.path()}).out;
    }
    QVERIFY2(listed.contains("  working") && !listed.contains("cut short"), listed.constData());
    holder.kill();
    holder.waitForFinished();
    QVERIFY(runCli({"--journals", client.path()}).out.contains("cut short"));
}

void TestChoose::stoppedUndoEndsItsLine()
{
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), TreeFixture::manyCharacters(300)));
    QCOMPARE(runCli({"-q", client.path()}).exitCode, 0);

    // The undo names its run on standard error before it takes anything back.
    QProcess process;
    process.setReadChannel(QProcess::StandardError);
    process.start(VELTRA_CLI, {"--undo", "-q", "--color=never", client.path()});
    QVERIFY(process.waitForReadyRead(60000));
    ::kill(pid_t(process.processId()), SIGTERM);
    QVERIFY(process.waitForFinished(60000));
    QCOMPARE(process.exitCode(), 143);
    const QString out = QString::fromUtf8(process.readAllStandardOutput());
    QVERIFY2(QRegularExpression("\nStopped after [0-9]+ of [0-9]+ changes\\.\n$").match(out).hasMatch(),
        qPrintable(out.right(200)));
}

QTEST_GUILESS_MAIN(TestChoose)
#include "tst_choose.moc"
