// The walk on a careful user's bad day, through the headless program: special
// files where files are read, names that are no valid text or hold control
// characters, folders whose names hold dot runs or that link elsewhere, and
// documents that cannot be written. Each ends with a truthful log and status.

#include "testsupport/clirunner.h"
#include "testsupport/treefixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <algorithm>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const QString kit = QStringLiteral("base/characters/Kit/");

// TreeFixture entries, plus "fifo:NAME" for a FIFO and "raw:FOLDER|NAME" for
// a file (a folder when NAME ends in "/") whose name is NAME's Latin-1 bytes,
// no valid UTF-8.
bool build(const QString &root, const QStringList &entries)
{
    QStringList plain;
    for (const QString &entry : entries) {
        const QString name = entry.section(':', 1);
        if (entry.startsWith("fifo:")) {
            QDir().mkpath(QFileInfo(root + '/' + name).path());
            if (::mkfifo(QFile::encodeName(root + '/' + name), 0644) != 0)
                return false;
        } else if (entry.startsWith("raw:")) {
            const QString folder = root + '/' + name.section('|', 0, 0);
            const QString raw = name.section('|', 1);
            QDir().mkpath(folder);
            const QByteArray path = QFile::encodeName(folder) + '/' + raw.toLatin1();
            const int made = raw.endsWith('/') ? ::mkdir(path, 0755) : ::close(::creat(path, 0644));
            if (made != 0)
                return false;
        } else {
            plain.append(entry);
        }
    }
    return TreeFixture::build(root, plain);
}

} // namespace

class TestUnlucky : public QObject
{
    Q_OBJECT

private slots:
    void walk_data();
    void walk();
    void dotsInTheClientPath();
    void characterFolderLinkedElsewhere();
    void unreadable_data();
    void unreadable();
    void clientOrLimitRefuses_data();
    void clientOrLimitRefuses();
};

void TestUnlucky::walk_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("log"); // with --color=never
    QTest::addColumn<int>("exitCode");
    QTest::addColumn<QStringList>("present"); // entries that must stand afterwards

    const QString unknown = "[ERROR] unable to move %1 to %2: unknown error; opened in another process";
    QTest::newRow("FIFO as the icon")
        << QStringList{"fifo:" + kit + "char_icon.png", kit + "actor.png=a"}
        << "Restructuring Kit...\n" + unknown.arg("char_icon.png", "actor.png") + "\nDone!\n"
        << 1 << QStringList{kit + "char_icon.png"};
    QTest::newRow("FIFO as the resources")
        << QStringList{kit + "emotions/1.png=e", "fifo:" + kit + "resources"}
        << "Restructuring Kit...\n" + unknown.arg("emotions", "resources") + "\nDone!\n"
        << 1 << QStringList{kit + "sprites/emotions/1.png"};
    QTest::newRow("FIFO as the actor data")
        << QStringList{kit + "char.ini=[Options]\nshowname=K\n", "fifo:" + kit + "data/actor.json"}
        << "Restructuring Kit...\n[ERROR] cannot write data/actor.json: not a regular file\nDone!\n"
        << 1 << QStringList{kit + "data/actor.json"};
    QTest::newRow("name that is no text")
        << QStringList{"raw:base/characters/Kit|caf\u00e9.png", kit + "x.png=x"}
        << "Restructuring Kit...\n[WARNING] caf\\xe9.png is left alone: "
           "its name is not valid in this system's "
           "file-name encoding\nDone!\n"
        << 0 << QStringList{kit + "sprites/x.png"};
    QTest::newRow("character folder that is no text")
        << QStringList{"raw:base/characters|Z\u00e9/", kit + "x.png=x"}
        << "[WARNING] Z\\xe9 is left alone: its name is not valid in this system's file-name encoding\n"
           "Restructuring Kit...\nDone!\n"
        << 0 << QStringList();
    QTest::newRow("control characters are shown escaped")
        << QStringList{"base/characters/K\x1b[2Jit\r/char_icon.png=1",
               "base/characters/K\x1b[2Jit\r/actor.png=2"}
        << "Restructuring K\\x1b[2Jit\\x0d...\n[ERROR] unable to move char_icon.png to actor.png; files are "
           "different from each others\nDone!\n"
        << 1 << QStringList();
    QTest::newRow("ellipsis names are their own folders")
        << QStringList{"base/characters/Wy..rm/char.ini=[Emotions]\n1=a#-#a#0#0\n",
               "base/characters/Wy..rm/p.png=1", "base/characters/Wyrm/char.ini=[Emotions]\n1=b#-#b#0#0\n"}
        << "Restructuring Wy..rm...\nConverting char.ini...\nDone!\n\nRestructuring Wyrm...\nConverting "
           "char.ini...\nDone!\n"
        << 0
        << QStringList{"base/characters/Wy..rm/char.toml", "base/characters/Wy..rm/data/actor.json",
               "base/characters/Wy..rm/sprites/p.png", "base/characters/Wyrm/char.toml"};
    // Temporary names are new for every write: nothing a killed run left blocks the next.
    QTest::newRow("a temporary name taken")
        << QStringList{kit + "char.ini=[Emotions]\n1=a#-#a#0#0\n", kit + ".char.toml.veltra-tmp/"}
        << "Restructuring Kit...\nConverting char.ini...\nDone!\n"
        << 0 << QStringList{kit + "data/actor.json", kit + "char.toml"};
    QTest::newRow("actor data behind a dangling link")
        << QStringList{kit + "char.ini=[Options]\nshowname=K\n",
               kit + "data/actor.json->../../../../outside.json"}
        << "Restructuring Kit...\n[ERROR] cannot write data/actor.json: it is a link\nDone!\n"
        << 1 << QStringList();
}

void TestUnlucky::walk()
{
    QFETCH(QStringList, entries);
    QFETCH(QStringList, present);
    if (QFile::encodeName(QFile::decodeName("\xe9")) == "\xe9"
        && QString(QTest::currentDataTag()).contains("no text"))
        QSKIP("every byte is text in this locale's file-name encoding");
    QTemporaryDir client;
    QVERIFY(build(client.path(), entries));

    const CliRun run = runCli({"--color=never", "-q", client.path()});
    QVERIFY2(run.finished, "the run must end");
    QTEST(QString::fromUtf8(run.out), "log");
    QTEST(run.exitCode, "exitCode");
    for (const QString &entry : present)
        QVERIFY2(QFileInfo(client.filePath(entry)).exists() || QFileInfo(client.filePath(entry)).isSymLink(),
            qPrintable(entry));
    QVERIFY(!QFileInfo::exists(client.filePath("outside.json")));
}

void TestUnlucky::dotsInTheClientPath()
{
    QTemporaryDir top;
    QVERIFY(TreeFixture::build(
        top.path(), {"client..old/base/characters/Kit/x.png=1", "clientold/base/characters/Kit/y.png=2"}));
    const CliRun run = runCli({"-q", top.filePath("client..old")});
    QCOMPARE(run.out, QByteArray("Restructuring Kit...\nDone!\n"));
    QVERIFY(QFile::exists(top.filePath("client..old/base/characters/Kit/sprites/x.png")));
    QVERIFY(QFile::exists(top.filePath("clientold/base/characters/Kit/y.png"))); // the sibling is not touched
}

void TestUnlucky::characterFolderLinkedElsewhere()
{
    QTemporaryDir top;
    QVERIFY(TreeFixture::build(top.path(),
        {"store/Real/char.ini=[Emotions]\n1=a#-#a#0#0\n",
            "client/base/characters/Link->" + top.filePath("store/Real")}));
    const CliRun run = runCli({"-q", top.filePath("client")});
    QCOMPARE(run.out, QByteArray("Restructuring Link...\nConverting char.ini...\nDone!\n"));
    QVERIFY(QFile::exists(
        top.filePath("store/Real/char.toml"))); // written through the link, in the folder itself
    QVERIFY(QFile::exists(top.filePath("store/Real/data/actor.json")));
    QVERIFY(!QFileInfo::exists(top.filePath("client/base/characters/Real")));
}

void TestUnlucky::unreadable_data()
{
    QTest::addColumn<QString>("locked");
    QTest::addColumn<QString>("line");
    QTest::newRow("legacy description") << kit + "char.ini"
                                        << "[ERROR] cannot read char.ini: Permission denied\n";
    QTest::newRow("character folder") << kit << "[ERROR] cannot read the folder Kit: Permission denied\n";
}

void TestUnlucky::unreadable()
{
    QFETCH(QString, locked);
    QFETCH(QString, line);
    if (::geteuid() == 0)
        QSKIP("permissions do not hold for root");
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(
        client.path(), {kit + "char.ini=[Options]\nshowname=K\n[Emotions]\n1=a#-#a#0#0\n"}));
    QVERIFY(::chmod(QFile::encodeName(client.filePath(locked)), 0) == 0);
    const CliRun run = runCli({"--color=never", "-q", client.path()});
    ::chmod(QFile::encodeName(client.filePath(locked)), 0755);
    QCOMPARE(QString::fromUtf8(run.out), "Restructuring Kit...\n" + line + "Done!\n");
    QCOMPARE(run.exitCode, 1);
    QVERIFY(
        !QFileInfo::exists(client.filePath(kit + "data/actor.json"))); // nothing made of what was not read
}

void TestUnlucky::clientOrLimitRefuses_data()
{
    // How the program is started on the client CLIENT, through sh.
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("said");
    QTest::newRow("a file-size limit") << "prlimit --fsize=400 \"$0\" -q --color=never \"$1\""
                                       << "(the change cannot be recorded in the journal: File too large)";
    QTest::newRow("a client path that is not UTF-8")
        << "mkdir \"$1$(printf '\\351')\" && \"$0\" -q \"$1$(printf '\\351')\"; s=$?; rmdir \"$1$(printf "
           "'\\351')\"; exit $s"
        << "\\xe9 is not valid UTF-8";
    QTest::newRow("a client that may not be entered")
        << "chmod 700 \"$1\" && exec setpriv --reuid=65534 --regid=65534 --clear-groups \"$0\" -q \"$1\""
        << "cannot enter '";
}

void TestUnlucky::clientOrLimitRefuses()
{
    QFETCH(QString, start);
    QFETCH(QString, said);
    if (start.contains("setpriv") && ::geteuid() != 0)
        QSKIP("only root can take another user's part");
    QTemporaryDir top;
    const QStringList entries{kit + "char.ini=[Emotions]\n1=a#-#a#0#0\n", kit + "char_icon.png=i",
        kit + "emotions/1.png=e", kit + "x.png=x"};
    QVERIFY(TreeFixture::build(top.filePath("client"), entries)
        && TreeFixture::build(top.filePath("plain"), entries));
    const CliRun run = runProgram("sh", {"-c", start, VELTRA_CLI, top.filePath("client")});
    QCOMPARE(run.exitCode, 1);
    const QByteArray output = run.out + run.err;
    QVERIFY2(output.contains(said.toUtf8()), output.constData());
    if (!start.startsWith("prlimit"))
        return;
    // Nothing half made stays, and the same command finishes the job.
    QVERIFY(!TreeFixture::describe(top.filePath("client")).join('\n').contains(".veltra-"));
    QCOMPARE(runCli({"-q", top.filePath("client")}).exitCode, 0);
    QCOMPARE(runCli({"-q", top.filePath("plain")}).exitCode, 0);
    QStringList client = TreeFixture::describe(top.filePath("client"));
    QStringList plain = TreeFixture::describe(top.filePath("plain"));
    const auto journals = [](const QString &entry) { return entry.startsWith("veltra-journal/"); };
    client.erase(std::remove_if(client.begin(), client.end(), journals), client.end());
    plain.erase(std::remove_if(plain.begin(), plain.end(), journals), plain.end());
    QCOMPARE(client, plain);
}

QTEST_GUILESS_MAIN(TestUnlucky)
#include "tst_unlucky.moc"
