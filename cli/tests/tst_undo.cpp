// The undo as a stranger's journal may drive it: it stays inside its client,
// refuses what it cannot trust, is one at a time, finishes what a cut-short
// undo began and gives back what the run deleted, as it was.

#include "testsupport/clirunner.h"
#include "testsupport/randomclient.h"
#include "testsupport/treefixture.h"

#include <QCryptographicHash>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <csignal>
#include <fcntl.h>
#include <sys/stat.h>

namespace {

const char *const header
    = "{\"veltra\":\"1\",\"started\":\"2026-01-01T00:00:00Z\",\"client\":\"%1\",\"undo_of\":null}\n";

QString digest(const QByteArray &bytes)
{
    return QString::fromLatin1(QCryptographicHash::hash(bytes, QCryptographicHash::Sha3_256).toHex());
}

// A made-up client beside a folder that is not its own.
struct Scene
{
    QTemporaryDir top;
    QString client() const { return top.filePath("client"); }
    QString outside() const { return top.filePath("outside"); }
    bool build(const QStringList &clientEntries)
    {
        QStringList entries{"outside/secret=s", "outside/free/"};
        for (const QString &entry : clientEntries)
            entries.append("client/" + entry);
        return TreeFixture::build(top.path(), entries);
    }
    // Everything but the journals.
    QStringList everything() const
    {
        QStringList entries = TreeFixture::describe(top.path());
        entries.erase(std::remove_if(entries.begin(), entries.end(),
                          [](const QString &entry) { return entry.contains("veltra-journal/"); }),
            entries.end());
        return entries;
    }
};

} // namespace

class TestUndo : public QObject
{
    Q_OBJECT

private slots:
    void plantedJournal_data();
    void plantedJournal();
    void hostileJournalCostsLittle_data();
    void hostileJournalCostsLittle();
    void copiedClientIsUndoneInPlace();
    void journalFolderMustBeAFolder_data();
    void journalFolderMustBeAFolder();
    void oneAtATime();
    void cutShortUndoIsFinished();
    void aimsAtTheRunThatChanged();
    void failedChangeIsNotRecorded_data();
    void failedChangeIsNotRecorded();
    void keepsWhatCouldNotBeRestored_data();
    void keepsWhatCouldNotBeRestored();
    void oldPlaceTakenAgain();
    void givesBackWhatWasDeleted_data();
    void givesBackWhatWasDeleted();
    void headerShownSafelyOnATerminal_data();
    void headerShownSafelyOnATerminal();
};

void TestUndo::plantedJournal_data()
{
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QString>("said");

    const QString secret = digest("s");
    const QString kit = "base/characters/Kit/";
    QTest::newRow("a path climbing out") << QStringList{"{\"op\":\"delete\",\"path\":\"" + kit
        + "x\",\"twin\":\"../outside/secret\",\"sha3_256\":\"" + secret + "\",\"size\":1}"}
                                         << 1 << "line 2 of the journal is no record";
    QTest::newRow("an absolute path")
        << QStringList{"{\"op\":\"mkdir\",\"path\":\"/tmp\"}"} << 1 << "not relative";
    QTest::newRow("a NUL in a path") << QStringList{"{\"op\":\"move\",\"from\":\"" + kit
        + "a\\u0000b\",\"to\":\"" + kit + "x.png\"}"}
                                     << 1 << "a path holds a NUL character";
    QTest::newRow("a lone surrogate in a path")
        << QStringList{"{\"op\":\"mkdir\",\"path\":\"" + kit + "m\\ud800\"}"} << 1
        << "a path is no valid text";
    QTest::newRow("the journal folder itself")
        << QStringList{"{\"op\":\"mkdir\",\"path\":\"veltra-journal\"}"} << 1 << "journal folder";
    QTest::newRow("a size past every integer") << QStringList{"{\"op\":\"delete\",\"path\":\"" + kit
        + "y\",\"twin\":\"" + kit + "x.png\",\"sha3_256\":\"" + secret + "\",\"size\":1e300}"}
                                               << 1 << "size";
    const QString restore = "{\"op\":\"delete\",\"path\":\"" + kit + "y\",\"twin\":\"" + kit
        + "x.png\",\"sha3_256\":\"" + secret + "\",";
    QTest::newRow("a size that is no whole number")
        << QStringList{restore + "\"size\":1.5}"} << 1 << "its size is no whole number";
    QTest::newRow("a time that is no whole number")
        << QStringList{restore + "\"size\":1,\"mode\":420,\"mtime_ns\":1.5,\"uid\":0,\"gid\":0}"} << 1
        << "its mode, time or owner is out of range";
    QTest::newRow("an error count that is no whole number")
        << QStringList{"{\"op\":\"end\",\"stopped\":false,\"errors\":1.5}"} << 1
        << "its end record is malformed";
    QTest::newRow("a move back out of a linked folder") << QStringList{"{\"op\":\"move\",\"from\":\"" + kit
        + "stolen\",\"to\":\"" + kit
        + "sprites/secret\"}"} << 1 << "cannot move base/characters/Kit/sprites/secret back";
    QTest::newRow("a restore from a twin outside") << QStringList{"{\"op\":\"delete\",\"path\":\"" + kit
        + "copy\",\"twin\":\"" + kit + "sprites/secret\",\"sha3_256\":\"" + secret + "\",\"size\":1}"}
                                                   << 1 << "lies outside the client folder";
    QTest::newRow("a move into a linked folder")
        << QStringList{"{\"op\":\"move\",\"from\":\"" + kit + "sprites/x.png\",\"to\":\"" + kit + "x.png\"}"}
        << 1 << "lies outside the client folder";
    // Only the last record of a journal without its end may name a change never made.
    QTest::newRow("a document edited since, before the last record")
        << QStringList{"{\"op\":\"write\",\"path\":\"" + kit + "x.toml\",\"sha3_256\":\"" + secret + "\"}",
               "{\"op\":\"mkdir\",\"path\":\"" + kit + "gone\"}"}
        << 1 << "cannot remove base/characters/Kit/x.toml: it changed since the run wrote it";
    QTest::newRow("a deleted duplicate's place taken since")
        << QStringList{"{\"op\":\"delete\",\"path\":\"" + kit + "x.png\",\"twin\":\"" + kit
               + "twin.png\",\"sha3_256\":\"" + secret + "\",\"size\":1}"}
        << 1
        << "cannot restore base/characters/Kit/x.png from base/characters/Kit/twin.png: its place is taken";
    QTest::newRow("a write naming a file no run writes") << QStringList{"{\"op\":\"write\",\"path\":\"" + kit
        + "x.png\",\"sha3_256\":\"" + digest("1")
        + "\"}"} << 1 << "cannot remove base/characters/Kit/x.png: no run writes such a document there";
    QTest::newRow("a header naming another folder")
        << QStringList{"{\"op\":\"write\",\"path\":\"secret\",\"sha3_256\":\"" + secret + "\"}"} << 0 << "";
    QTest::newRow("a last record cut short") << QStringList{"{\"op\":\"mkdir\",\"path\":\"" + kit + "made\"}",
        "{\"op\":\"mkd"} << 1 << "line 3 of the journal is cut short";
    // A power cut can leave zeros where the last records were to be.
    QTest::newRow("zeros after a record") << QStringList{"{\"op\":\"mkdir\",\"path\":\"" + kit + "made\"}",
        QString(3, QChar(0))} << 1 << "line 3 of the journal is no record: it holds a NUL byte";
}

void TestUndo::plantedJournal()
{
    QFETCH(QStringList, records);
    QFETCH(int, exitCode);
    QFETCH(QString, said);
    Scene scene;
    QVERIFY(scene.build({"base/characters/Kit/x.png=1", "base/characters/Kit/twin.png=s",
        "base/characters/Kit/x.ini=[Options]", "base/characters/Kit/x.toml=1",
        "base/characters/Kit/sprites->../../../../outside", "base/characters/Kit/made/"}));
    QByteArray journal = QString(header).arg(scene.outside()).toUtf8() + records.join('\n').toUtf8();
    if (!QByteArray(QTest::currentDataTag()).contains("cut short"))
        journal += '\n';
    const QString planted = scene.client() + "/veltra-journal/20260101T000000Z.jsonl";
    QVERIFY(TreeFixture::writeFile(planted, journal));
    QStringList before = scene.everything();
    if (records.first().contains("Kit/made"))
        before.removeAll("client/base/characters/Kit/made/"); // the one sound record is undone

    // Machine output gives each refusal an error record of its own, a
    // damaged journal line too.
    const CliRun machine = runCli({"--undo", "-n", "--json", "-q", planted});
    QVERIFY(machine.finished);
    if (!said.isEmpty()) {
        const QList<QByteArray> lines = machine.out.split('\n');
        const auto record = std::find_if(lines.cbegin(), lines.cend(),
            [&](const QByteArray &line) { return line.contains(said.toUtf8()); });
        QVERIFY2(record != lines.cend(), machine.out.constData());
        QVERIFY2(record->startsWith("{\"op\":\"error\",\"text\":\""), record->constData());
    }

    const CliRun undo = runCli({"--undo", "--color=never", "-q", planted});
    QVERIFY(undo.finished);
    QCOMPARE(undo.exitCode, exitCode);
    QVERIFY2(undo.out.contains(said.toUtf8()), undo.out.constData());
    QCOMPARE(scene.everything(), before); // the outside untouched, the client too
    QVERIFY(!QFileInfo::exists(scene.outside() + "/veltra-journal"));
    // A line that was no record may have been one: its run is not undone.
    if (said.contains("is no record"))
        QVERIFY(!runCli({"--journals", scene.client()}).out.contains(", undone"));
}

void TestUndo::hostileJournalCostsLittle_data()
{
    QTest::addColumn<QByteArray>("records");
    QTest::addColumn<qint64>("size");
    QTest::addColumn<QString>("listed");
    QTest::addColumn<QString>("name");
    // Read whole, each of these would take hours or all the memory there is.
    const QString name = "20260101T000000Z.jsonl";
    QTest::newRow("a hole of a terabyte")
        << QByteArray() << (qint64(1) << 40) << "cut short, damaged at line 2" << name;
    QByteArray garbage;
    for (int i = 0; i < 20000; ++i)
        garbage += QByteArray(100, 'x') + '\n';
    QTest::newRow("lines that are no record")
        << garbage << qint64(0) << "unreadable: it is far larger than its records: no run wrote it" << name;
    QTest::newRow("empty lines") << QByteArray(2 << 20, '\n') << qint64(0)
                                 << "unreadable: it is far larger than its records: no run wrote it" << name;
    // Named to be taken for the newest run, it is undone only when named.
    QTest::newRow("a journal dated ahead")
        << QByteArray("{\"op\":\"mkdir\",\"path\":\"base/characters/Kit\"}\n") << qint64(0)
        << "1 change   cut short"
        << "29991231T235959Z.jsonl";
}

void TestUndo::hostileJournalCostsLittle()
{
    QFETCH(QByteArray, records);
    QFETCH(qint64, size);
    QFETCH(QString, listed);
    QFETCH(QString, name);
    Scene scene;
    QVERIFY(scene.build({"base/characters/Kit/x.png=1"}));
    const QString planted = scene.client() + "/veltra-journal/" + name;
    const QByteArray start = QString(header).arg("c").toUtf8() + records;
    QVERIFY(TreeFixture::writeFile(planted, start));
    if (size > 0)
        QVERIFY(QFile::resize(planted, size));

    const CliRun list = runCli({"--journals", scene.client()});
    QCOMPARE(list.exitCode, 0);
    QVERIFY2(list.out.startsWith(QByteArray(name.toUtf8() + "  ")) && list.out.contains(listed.toUtf8()),
        list.out.constData());
    const CliRun undo = runCli({"--undo", "-q", scene.client()});
    QCOMPARE(undo.exitCode, 4); // passed over: nothing to undo
}

void TestUndo::copiedClientIsUndoneInPlace()
{
    Scene scene;
    QVERIFY(scene.build({"base/characters/Kit/char_icon.png=i", "base/characters/Kit/a.png=a"}));
    QCOMPARE(runCli({"-q", scene.client()}).exitCode, 0);
    const QStringList migrated = TreeFixture::describe(scene.client());
    const QString copy = scene.top.filePath("copy");
    QCOMPARE(QProcess::execute("cp", {"-a", scene.client(), copy}), 0);

    QCOMPARE(runCli({"--undo", "-q", copy}).exitCode, 0);
    QCOMPARE(TreeFixture::describe(copy),
        QStringList({"base/", "base/characters/", "base/characters/Kit/", "base/characters/Kit/a.png=a",
            "base/characters/Kit/char_icon.png=i"}));
    QCOMPARE(TreeFixture::describe(scene.client()), migrated); // the original is not the copy's client
}

void TestUndo::journalFolderMustBeAFolder_data()
{
    QTest::addColumn<QString>("journalFolder");
    QTest::newRow("a link out of the client") << "veltra-journal->../outside/free";
    QTest::newRow("a file") << "veltra-journal=x";
}

void TestUndo::journalFolderMustBeAFolder()
{
    QFETCH(QString, journalFolder);
    Scene scene;
    QVERIFY(scene.build({"base/characters/Kit/char_icon.png=i", journalFolder}));
    const QStringList before = scene.everything();
    const CliRun dry = runCli({"-n", "--color=never", scene.client()});
    const CliRun run = runCli({"--color=never", scene.client()});
    const CliRun undo = runCli({"--undo", scene.client()});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("cannot keep a journal in"), run.err.constData());
    QCOMPARE(dry.exitCode, run.exitCode);
    QCOMPARE(dry.out, run.out);
    QCOMPARE(dry.err, run.err);
    QCOMPARE(undo.exitCode, 1);
    QCOMPARE(scene.everything(), before); // nothing changed, inside or out
}

void TestUndo::oneAtATime()
{
    Scene scene;
    QVERIFY(scene.build({"base/characters/Kit/char_icon.png=i"}));
    QProcess holder; // holds the client's lock as a run in progress would
    holder.start("flock", {"-x", "-o", scene.client(), "sleep", "30"});
    QVERIFY(holder.waitForStarted());
    QTest::qWait(300);
    for (const QStringList &arguments : {QStringList{scene.client()}, QStringList{"-n", scene.client()},
             QStringList{"--undo", scene.client()}}) {
        const CliRun refused = runCli(arguments);
        QCOMPARE(refused.exitCode, 3);
        QVERIFY2(refused.err.contains("another run or undo is working on"), refused.err.constData());
    }
    QVERIFY(QFileInfo::exists(scene.client() + "/base/characters/Kit/char_icon.png"));
    holder.kill();
    holder.waitForFinished();
    QCOMPARE(runCli({"-q", scene.client()}).exitCode, 0);
}

void TestUndo::cutShortUndoIsFinished()
{
    const QStringList entries = RandomClient::entries(11, 40);
    for (int point = 0; point < 8; ++point) {
        QTemporaryDir client;
        QVERIFY(TreeFixture::build(client.path(), entries));
        const QStringList original = RandomClient::manifest(client.path());
        QVERIFY(runCli({"-q", client.path()}).exitCode <= 1);

        QProcess undo;
        QElapsedTimer timer;
        timer.start();
        undo.start(VELTRA_CLI, {"--undo", "-q", client.path()});
        QVERIFY(undo.waitForStarted());
        QThread::msleep(unsigned(5 + point * 12));
        if (point % 2)
            undo.kill();
        else
            ::kill(pid_t(undo.processId()), SIGINT);
        QVERIFY(undo.waitForFinished());
        // Stopped between two changes (a signal before the program was ready ends it at once).
        if (point % 2 == 0 && undo.exitStatus() == QProcess::NormalExit && undo.exitCode() != 0)
            QCOMPARE(undo.exitCode(), 130);

        // The same command finishes it, whatever the cut-short one took back.
        const CliRun again = runCli({"--undo", "--color=never", "-q", client.path()});
        QVERIFY2(again.exitCode == 0 || again.exitCode == 4, again.out.constData());
        QVERIFY2(!again.out.contains("[ERROR]"), again.out.constData());
        QCOMPARE(RandomClient::manifest(client.path()), original);
        QVERIFY(runCli({"--journals", client.path()}).out.contains(", undone"));
        QCOMPARE(runCli({"--undo", client.path()}).exitCode, 4);
    }
}

void TestUndo::aimsAtTheRunThatChanged()
{
    Scene scene;
    QVERIFY(scene.build({"base/characters/Kit/char_icon.png=i"}));
    QCOMPARE(runCli({"-q", scene.client()}).exitCode, 0);
    const QString first = QDir(scene.client() + "/veltra-journal").entryList(QDir::Files).value(0);
    QCOMPARE(runCli({"-q", scene.client()}).exitCode, 0); // changes nothing: no run to undo

    const CliRun undo = runCli({"--undo", "-q", scene.client()});
    QCOMPARE(undo.exitCode, 0);
    QVERIFY2(undo.err.contains(QByteArray("undoing " + first.toUtf8())), undo.err.constData());
    QVERIFY(QFileInfo::exists(scene.client() + "/base/characters/Kit/char_icon.png"));
    const CliRun list = runCli({"--journals", scene.client()});
    QCOMPARE(list.out.count('\n'), 3); // the undo, the empty run, the undone run, newest first
    QVERIFY(list.out.split('\n').value(2).contains("complete, undone"));
}

void TestUndo::failedChangeIsNotRecorded_data()
{
    QTest::addColumn<QStringList>("entries"); // in the characters folder
    QTest::addColumn<QString>("said");
    // "sprites" is a file: the move of a.png into it is refused before it is recorded.
    QTest::newRow("refused") << QStringList{"Kit/a.png=a", "Kit/sprites=x"}
                             << "unable to move a.png to sprites/a.png";
    // "sprites" leads into "a": the system refuses to move a folder into itself, once it is recorded.
    // A second character makes the walk read ahead, which watches every change on its way to the journal.
    QTest::newRow("failed once recorded")
        << QStringList{"Kit/a/x.png=x", "Kit/sprites->a", "Lea/"} << "unable to move a to sprites/a";
}

void TestUndo::failedChangeIsNotRecorded()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, said);
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(
        client.path(), entries.replaceInStrings(QRegularExpression("^"), "base/characters/")));
    const CliRun run = runCli({"--color=never", "-q", client.path()});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains(said.toUtf8()), run.out.constData());
    const QString name = QDir(client.filePath("veltra-journal")).entryList(QDir::Files).value(0);
    const QList<QByteArray> lines
        = TreeFixture::readFile(client.filePath("veltra-journal/" + name)).split('\n');
    QCOMPARE(lines.size(), 3); // the header, the closing record and the last line feed
    QVERIFY(lines.at(1).startsWith("{\"op\":\"end\",\"stopped\":false,\"errors\":1"));
}

void TestUndo::keepsWhatCouldNotBeRestored_data()
{
    QTest::addColumn<QStringList>("entries"); // in Kit
    QTest::addColumn<QString>("kept");
    QTest::newRow("a twin through a linked folder") << QStringList{"shouts/sprites->../../../../../outside",
        "shouts/Secret.png=s"} << "shouts/Secret.png";
    QTest::newRow("a twin that is a link out")
        << QStringList{"actor.png->../../../../outside/secret", "char_icon.png=s"} << "char_icon.png";
}

void TestUndo::keepsWhatCouldNotBeRestored()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, kept);
    // Its twin lies outside, where an undo may not read it.
    Scene scene;
    QVERIFY(scene.build(entries.replaceInStrings(QRegularExpression("^"), "base/characters/Kit/")));
    QVERIFY(TreeFixture::writeFile(scene.outside() + "/secret.png", "s"));
    const CliRun dry = runCli({"-n", "--color=never", "-q", scene.client()});
    const CliRun run = runCli({"--color=never", "-q", scene.client()});
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.out.contains("its twin cannot be reached inside the client"), run.out.constData());
    QVERIFY(QFileInfo::exists(scene.client() + "/base/characters/Kit/" + kept));
    QCOMPARE(dry.out, run.out);
}

void TestUndo::oldPlaceTakenAgain()
{
    QTemporaryDir client;
    const QString kit = client.path() + "/base/characters/Kit/";
    QVERIFY(TreeFixture::build(client.path(), {"base/characters/Kit/char_icon.png=old"}));
    QCOMPARE(runCli({"-q", client.path()}).exitCode, 0);
    QVERIFY(TreeFixture::writeFile(kit + "char_icon.png", "new"));

    const CliRun undo = runCli({"--undo", "--color=never", "-q", client.path()});
    QCOMPARE(undo.exitCode, 1);
    QVERIFY2(undo.out.contains("cannot move base/characters/Kit/actor.png back to "
                               "base/characters/Kit/char_icon.png: its old place is taken"),
        undo.out.constData());
    QCOMPARE(TreeFixture::readFile(kit + "char_icon.png"), QByteArray("new"));
    QCOMPARE(TreeFixture::readFile(kit + "actor.png"), QByteArray("old"));
}

void TestUndo::givesBackWhatWasDeleted_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("editTwin");
    QTest::addColumn<int>("mode"); // the duplicate's and its twin's, before the run
    QTest::addColumn<QByteArray>("asked"); // what a journal records in place of the run's mode and time
    QTest::addColumn<int>("restored");
    QTest::addColumn<qint64>("modified"); // nanoseconds
    QTest::addColumn<QString>("withheld");
    const qint64 old = 1000000000123456789;
    QTest::newRow("a private file") << "private.png" << false << 0600 << QByteArray() << 0600 << old << "";
    QTest::newRow("a name near the limit")
        << QString(250, 'n') + ".png" << false << 0600 << QByteArray() << 0600 << old << "";
    QTest::newRow("quotes and backslashes")
        << "a\"b\\c.png" << false << 0600 << QByteArray() << 0600 << old << "";
    QTest::newRow("control characters")
        << "a\x1b[2J\rb.png" << false << 0600 << QByteArray() << 0600 << old << "";
    QTest::newRow("the twin edited after the run")
        << "edited.png" << true << 0600 << QByteArray() << 0600 << old << "";
    QTest::newRow("a time before 1970")
        << "old.png" << false << 0600 << QByteArray("\"mode\":384,\"mtime_ns\":-1") << 0600 << qint64(-1)
        << "";
    // A journal is a stranger's word: a restore grants no rights.
    QTest::newRow("a set-user-ID program")
        << "run.png" << false << 04755 << QByteArray() << 0755 << old << "without the set-user-ID bit that";
    QTest::newRow("set-group-ID and sticky") << "shared.png" << false << 03775 << QByteArray() << 0775 << old
                                             << "without the set-group-ID bit and the sticky bit that";
    QTest::newRow("an owner the journal names")
        << "owned.png" << false << 0644
        << QByteArray("\"mode\":420,\"mtime_ns\":1000000000123456789,\"uid\":4242,\"gid\":4243") << 0644
        << old << "without the owner and group (4242:4243) that";
    QTest::newRow("a record of the earliest form, its twin set-user-ID")
        << "earliest.png" << false << 04755 << QByteArray("\"x\":0") << 0755 << old
        << "without the set-user-ID bit that";
}

void TestUndo::givesBackWhatWasDeleted()
{
    QFETCH(QString, name);
    QFETCH(bool, editTwin);
    QFETCH(int, mode);
    QFETCH(QByteArray, asked);
    QFETCH(int, restored);
    QFETCH(qint64, modified);
    QFETCH(QString, withheld);
    QTemporaryDir client;
    const QString kit = client.path() + "/base/characters/Kit/";
    QVERIFY(TreeFixture::build(client.path(),
        {"base/characters/Kit/" + name + "=same", "base/characters/Kit/sprites/" + name + "=same"}));
    const QByteArray path = QFile::encodeName(kit + name);
    const QByteArray twinPath = QFile::encodeName(kit + "sprites/" + name);
    const struct timespec old[2] = {{1000000000, 123456789}, {1000000000, 123456789}};
    for (const QByteArray &file : {path, twinPath})
        QVERIFY(::chmod(file.constData(), mode_t(mode)) == 0
            && ::utimensat(AT_FDCWD, file.constData(), old, 0) == 0);

    QCOMPARE(runCli({"-q", client.path()}).exitCode, 0);
    QVERIFY(!QFileInfo::exists(kit + name)); // deleted as a duplicate
    if (editTwin)
        QVERIFY(TreeFixture::writeFile(kit + "sprites/" + name, "changed"));
    const QString journal = client.path() + "/veltra-journal/"
        + QDir(client.path() + "/veltra-journal").entryList(QDir::Files).value(0);
    QByteArray records = TreeFixture::readFile(journal);
    QVERIFY2(!records.contains("\"uid\"") && !records.contains("\"gid\""), records.constData());
    const QByteArray recorded = "\"mode\":" + QByteArray::number(mode) + ",\"mtime_ns\":1000000000123456789";
    QVERIFY2(records.contains(recorded), records.constData());
    if (!asked.isEmpty())
        QVERIFY(TreeFixture::writeFile(journal, records.replace(recorded, asked)));

    const CliRun undo = runCli({"--undo", "--color=never", "-q", client.path()});
    if (editTwin) {
        QCOMPARE(undo.exitCode, 1);
        QVERIFY2(undo.out.contains("its bytes are not the ones recorded"), undo.out.constData());
        QVERIFY(!QFileInfo::exists(kit + name));
        return;
    }
    QCOMPARE(undo.exitCode, 0);
    QCOMPARE(undo.out.contains("grants no rights"), !withheld.isEmpty());
    QVERIFY2(undo.out.contains(withheld.toUtf8()), undo.out.constData());
    QCOMPARE(TreeFixture::readFile(kit + name), QByteArray("same"));
    struct stat info;
    struct stat twin;
    QVERIFY(::stat(path.constData(), &info) == 0);
    QVERIFY(::stat(twinPath.constData(), &twin) == 0);
    QCOMPARE(int(info.st_mode & 07777), restored);
    QCOMPARE(info.st_uid, twin.st_uid);
    QCOMPARE(info.st_gid, twin.st_gid);
    QCOMPARE(qint64(info.st_mtim.tv_sec) * 1000000000 + info.st_mtim.tv_nsec, modified);
    QCOMPARE(QDir(kit).entryList(QDir::Hidden | QDir::Files).size(), 1); // no temporary file left
}

void TestUndo::headerShownSafelyOnATerminal_data()
{
    QTest::addColumn<QStringList>("options");
    QTest::newRow("the list of journals") << QStringList{"--journals"};
    QTest::newRow("the undo's first line") << QStringList{"--undo", "-n"};
}

// A stranger's header that clears the screen, sets the title, prints a line
// of its own and turns the rest around reaches a pipe as it is, a terminal
// only as text.
void TestUndo::headerShownSafelyOnATerminal()
{
    QFETCH(QStringList, options);
    const QString script = QStandardPaths::findExecutable("script");
    if (script.isEmpty())
        QSKIP("needs script(1) to give the program a terminal");
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), {"base/characters/Kit/made/"}));
    QVERIFY(TreeFixture::writeFile(client.filePath("veltra-journal/20260101T000000Z.jsonl"),
        "{\"veltra\":\"1\",\"started\":\"\\u001b[2J\\u001b]0;owned\\u0007\\r\\nveltra-cli: done\\u202e\","
        "\"client\":\"x\",\"undo_of\":null}\n{\"op\":\"mkdir\",\"path\":\"base/characters/Kit/made\"}\n"));

    const CliRun piped = runCli(options + QStringList{client.path()});
    QVERIFY2(QByteArray(piped.out + piped.err).contains("\x1b[2J\x1b]0;owned\a\r\nveltra-cli: done\u202e"),
        piped.out.constData());
    QProcess terminal;
    terminal.start(script,
        {"-qefc", QString("%1 %2 %3").arg(VELTRA_CLI, options.join(' '), client.path()), "/dev/null"});
    QVERIFY(terminal.waitForFinished(60000));
    const QByteArray screen = terminal.readAllStandardOutput();
    QVERIFY2(
        screen.contains("\\x1b[2J\\x1b]0;owned\\x07\\x0d\\x0aveltra-cli: done\\u202e"), screen.constData());
    QVERIFY(!screen.contains("\x1b[2J") && !screen.contains("\x1b]") && !screen.contains("\u202e"));
}

QTEST_GUILESS_MAIN(TestUndo)
#include "tst_undo.moc"
