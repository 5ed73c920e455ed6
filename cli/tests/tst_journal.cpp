// The promises around a run, on many made-up clients: a dry run prints what
// the real run prints and changes nothing; the journal names exactly the
// changes made; an undo gives the tree back, also after a kill at any instant.

#include "testsupport/clirunner.h"
#include "testsupport/randomclient.h"
#include "testsupport/treefixture.h"

#include <QDir>
#include <QElapsedTimer>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <QTemporaryDir>
#include <QtTest>

namespace {

QStringList journalRecords(const QString &client)
{
    QStringList records;
    for (const QString &name :
        QDir(client + "/veltra-journal").entryList({"*.jsonl"}, QDir::Files, QDir::Name)) {
        const QList<QByteArray> lines = TreeFixture::readFile(client + "/veltra-journal/" + name).split('\n');
        for (int i = 1; i < lines.size(); ++i) {
            if (!lines.at(i).isEmpty() && !lines.at(i).startsWith("{\"op\":\"end\""))
                records.append(QString::fromUtf8(lines.at(i)));
        }
    }
    return records;
}

// The manifest before a run with the journal's records applied to it.
QStringList applied(const QStringList &before, const QStringList &records)
{
    QMap<QString, QString> entries; // path -> the rest of its manifest line
    for (const QString &line : before) {
        const int cut = line.indexOf(QRegularExpression("( = | -> |/$)"));
        entries.insert(line.left(cut), line.mid(cut));
    }
    for (const QString &record : records) {
        const QJsonObject object = QJsonDocument::fromJson(record.toUtf8()).object();
        const QString op = object.value("op").toString();
        const QString path = object.value(op == "move" ? "from" : "path").toString();
        if (op == "move") {
            const QString to = object.value("to").toString();
            for (const QString &key : entries.keys()) {
                if (key == path || key.startsWith(path + '/'))
                    entries.insert(to + key.mid(path.size()), entries.take(key));
            }
        } else if (op == "delete") {
            entries.remove(path);
        } else if (op == "write") {
            entries.insert(path, " = " + object.value("sha3_256").toString().left(16));
        } else if (op == "mkdir") {
            entries.insert(path, "/");
        }
    }
    QStringList result;
    for (auto it = entries.cbegin(); it != entries.cend(); ++it)
        result.append(it.key() + it.value());
    result.sort();
    return result;
}

QStringList changeRecords(const QByteArray &json)
{
    QStringList records;
    for (const QByteArray &line : json.split('\n')) {
        if (!line.isEmpty() && !line.startsWith("{\"op\":\"warning\"")
            && !line.startsWith("{\"op\":\"error\"") && !line.startsWith("{\"op\":\"summary\""))
            // The journal travels with its client and names no owner; the machine output does.
            records.append(QString::fromUtf8(line).remove(QRegularExpression(",\"uid\":\\d+,\"gid\":\\d+")));
    }
    return records;
}

// A run over a new tree of `entries`, killed after `after` milliseconds.
bool killedRun(const QString &client, const QStringList &entries, qint64 after)
{
    if (!TreeFixture::build(client, entries))
        return false;
    QProcess process;
    process.start(VELTRA_CLI, {"-q", client});
    if (!process.waitForStarted())
        return false;
    QThread::msleep(unsigned(after));
    process.kill();
    return process.waitForFinished();
}

} // namespace

class TestJournal : public QObject
{
    Q_OBJECT

private slots:
    void planRunAndUndo_data();
    void planRunAndUndo();
    void undoAfterKill();
    void rerunAfterKill();
    void undoLeavesWhatChanged();
    void unwrittenHeaderLeavesNoJournal();
    void killedStartIsSweptAway();
};

void TestJournal::planRunAndUndo_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 30; ++seed)
        QTest::newRow(qPrintable(QString("client %1").arg(seed))) << seed;
}

void TestJournal::planRunAndUndo()
{
    QFETCH(quint32, seed);
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), RandomClient::entries(seed, 6)));
    const QStringList original = RandomClient::manifest(client.path(), true);
    const QStringList plain = RandomClient::manifest(client.path());

    const CliRun plan = runCli({"--dry-run", "--color=always", "-q", client.path()});
    const CliRun planned = runCli({"-n", "--json", "-q", client.path()});
    QVERIFY(plan.finished && planned.finished);
    QCOMPARE(RandomClient::manifest(client.path(), true), original); // not even a time changed
    QVERIFY(!QFileInfo::exists(client.filePath("veltra-journal")));

    const CliRun run = runCli({"--color=always", "-q", client.path()});
    QVERIFY(run.finished);
    QCOMPARE(QString::fromUtf8(plan.out), QString::fromUtf8(run.out));
    QCOMPARE(plan.exitCode, run.exitCode);
    const QStringList records = journalRecords(client.path());
    QCOMPARE(changeRecords(planned.out), records);
    const QString name = QDir(client.filePath("veltra-journal")).entryList({"*.jsonl"}).value(0);
    const QByteArray header
        = TreeFixture::readFile(client.filePath("veltra-journal/" + name)).split('\n').value(0);
    QVERIFY2(header.contains(QByteArray(
                 QByteArray(",\"client\":\"") + QFileInfo(client.path()).fileName().toUtf8() + "\",")),
        header);

    // The journal names every change, and nothing else.
    QCOMPARE(RandomClient::manifest(client.path()), applied(plain, records));

    // The undo's preview, which packs away each character folder it leaves, says what the undo does.
    const CliRun preview = runCli({"--undo", "-n", "-v", "--color=always", "-q", client.path()});
    const CliRun undo = runCli({"--undo", "-v", "--color=always", "-q", client.path()});
    QVERIFY(undo.finished);
    QCOMPARE(undo.exitCode, 0);
    QCOMPARE(QString::fromUtf8(preview.out), QString::fromUtf8(undo.out));
    QCOMPARE(RandomClient::manifest(client.path()), plain);
}

void TestJournal::undoAfterKill()
{
    const QStringList entries = RandomClient::entries(7, 40);
    QTemporaryDir reference;
    QVERIFY(TreeFixture::build(reference.path(), entries));
    const QStringList original = RandomClient::manifest(reference.path());
    QElapsedTimer timer;
    timer.start();
    QVERIFY(runCli({"-q", reference.path()}).finished);
    const qint64 whole = qMax<qint64>(timer.elapsed(), 20);

    for (int point = 0; point < 20; ++point) {
        QTemporaryDir client;
        QVERIFY(killedRun(client.path(), entries, whole * (2 * point + 1) / 40));

        const CliRun undo = runCli({"--undo", "--color=never", "-q", client.path()});
        QVERIFY(undo.finished);
        // A record the kill cut short is said, never passed over; a kill before the first change leaves
        // nothing to undo.
        const bool cutShort = undo.out.contains("of the journal is cut short");
        QVERIFY2(
            undo.exitCode == (cutShort ? 1 : 0) || (undo.exitCode == 4 && undo.err.contains("no run left")),
            undo.out.constData());
        QCOMPARE(RandomClient::manifest(client.path()), original); // no leftover either
    }
}

void TestJournal::rerunAfterKill()
{
    const QStringList entries = RandomClient::entries(9, 40);
    QTemporaryDir reference;
    QVERIFY(TreeFixture::build(reference.path(), entries));
    QElapsedTimer timer;
    timer.start();
    QVERIFY(runCli({"-q", reference.path()}).finished);
    const qint64 whole = qMax<qint64>(timer.elapsed(), 20);
    const QStringList migrated = RandomClient::manifest(reference.path());

    for (int point = 0; point < 10; ++point) {
        QTemporaryDir client;
        QVERIFY(killedRun(client.path(), entries, whole * (2 * point + 1) / 20));

        // Running again reaches the tree of a run never killed, leftovers and all.
        QVERIFY(runCli({"-q", client.path()}).finished);
        QCOMPARE(RandomClient::manifest(client.path()), migrated);
    }
}

void TestJournal::undoLeavesWhatChanged()
{
    QTemporaryDir client;
    const QString kit = client.path() + "/base/characters/Kit/";
    QVERIFY(TreeFixture::build(client.path(),
        {"base/characters/Kit/char.ini=[Emotions]\n1=a#-#a#0#0\n", "base/characters/Kit/x.png=1"}));
    QCOMPARE(runCli({"-q", client.path()}).exitCode, 0);
    QVERIFY(TreeFixture::writeFile(kit + "char.toml", "edited by hand"));

    const CliRun undo = runCli({"--undo", "--color=never", "-q", client.path()});
    QCOMPARE(undo.exitCode, 1);
    QVERIFY2(undo.out.contains(
                 "[ERROR] cannot remove base/characters/Kit/char.toml: it changed since the run wrote it"),
        undo.out.constData());
    QCOMPARE(TreeFixture::readFile(kit + "char.toml"), QByteArray("edited by hand"));
    QVERIFY(QFile::exists(kit + "x.png")); // everything else went back
    QVERIFY(!QFile::exists(kit + "data/actor.json"));

    // Partly undone: the same command tries again what is left, and only that.
    const CliRun again = runCli({"--undo", "--color=never", "-q", client.path()});
    QCOMPARE(again.exitCode, 1);
    QCOMPARE(again.out.count("[ERROR]"), 1);
    QVERIFY(runCli({"--journals", client.path()}).out.contains("complete, partly undone"));

    // Once nothing is left, the run counts as undone and is not undone twice.
    QVERIFY(QFile::remove(kit + "char.toml"));
    QCOMPARE(runCli({"--undo", "-q", client.path()}).exitCode, 0);
    QVERIFY(runCli({"--journals", client.path()}).out.contains("complete, undone"));
    const CliRun done = runCli({"--undo", client.path()});
    QCOMPARE(done.exitCode, 4);
    QVERIFY(done.err.contains("no run left to undo"));
}

// A journal whose header could not be written (here: no file may grow, as on
// a full disk) is removed again; it would be listed as damaged ever after.
void TestJournal::unwrittenHeaderLeavesNoJournal()
{
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), {"base/characters/Kit/a.png=a"}));
    const CliRun run = runProgram(
        "bash", {"-c", "trap '' XFSZ; ulimit -f 0; exec \"$0\" -q \"$1\"", VELTRA_CLI, client.path()});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 1);
    QVERIFY2(run.err.contains("cannot keep a journal"), run.err.constData());
    QCOMPARE(QDir(client.filePath("veltra-journal"))
                 .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
        QStringList());
    QCOMPARE(TreeFixture::describe(client.path()),
        QStringList({"base/", "base/characters/", "base/characters/Kit/", "base/characters/Kit/a.png=a"}));
}

// A run killed between making its journal and writing the header left an
// empty journal; the next run removes it, and keeps a damaged one that has
// something to say.
void TestJournal::killedStartIsSweptAway()
{
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(),
        {"base/characters/Kit/a.png=a", "veltra-journal/20200101T000000Z.jsonl=",
            "veltra-journal/20200102T000000Z.jsonl=x", "veltra-journal/notes.txt="}));
    QCOMPARE(runCli({"-q", client.path()}).exitCode, 0);
    const QStringList left = QDir(client.filePath("veltra-journal")).entryList(QDir::Files, QDir::Name);
    QCOMPARE(left.size(), 3);
    QCOMPARE(left.at(0), QString("20200102T000000Z.jsonl"));
    QVERIFY(left.at(1).endsWith(".jsonl") && left.at(1) != left.at(0)); // the run's own
    QCOMPARE(left.at(2), QString("notes.txt"));
}

QTEST_GUILESS_MAIN(TestJournal)
#include "tst_journal.moc"
