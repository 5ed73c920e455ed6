// Reading the next character folder ahead changes nothing of the outcome:
// made-up clients give the log and tree the program gave before it read
// ahead (stored beside this test), and the same as a walk that reads each
// folder in turn, also where a link lets one folder change the next. Two
// runs at once in one process give what two processes give.

#include "convert/convertlegacyfiles.h"
#include "migration/migration.h"
#include "migration/restructure.h"
#include "testsupport/clirunner.h"
#include "testsupport/randomclient.h"
#include "testsupport/testrun.h"
#include "testsupport/treefixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <thread>

namespace {

struct Outcome
{
    QString log;
    QStringList tree;
};

template<typename Converter> Outcome walkIn(const QString &client, const Converter &convert)
{
    TestRun run(client);
    restructureCharacterFolders(run.context, convert);
    Outcome outcome;
    outcome.log = joinLog(run.lines());
    outcome.tree = RandomClient::manifest(client);
    return outcome;
}

QStringList lines(const QByteArray &bytes)
{
    return QString::fromUtf8(bytes).split(QLatin1Char('\n'));
}

} // namespace

class TestReadAhead : public QObject
{
    Q_OBJECT

private slots:
    void matchesTheStoredOutcome_data();
    void matchesTheStoredOutcome();
    void matchesReadingInTurn_data();
    void matchesReadingInTurn();
    void twoRunsSideBySide();
};

void TestReadAhead::matchesTheStoredOutcome_data()
{
    QTest::addColumn<int>("seed");
    for (int seed = 1; seed <= 4; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("client %1").arg(seed))) << seed;
}

// The stored files were first written by the program that read every folder
// in turn and laid out every description through two JSON encodings. A
// deliberate change of the outcome (a new rule, a new made-up client) writes
// them again from the current build: scripts/remake-reference runs this test
// with VELTRA_REMAKE_REFERENCE=1, which stores instead of comparing.
void TestReadAhead::matchesTheStoredOutcome()
{
    QFETCH(int, seed);
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), RandomClient::entries(quint32(seed), 10)));
    const CliRun run = runCli({"--color=never", "-q", client.path()});
    QVERIFY(run.finished);
    const QString stored = QFINDTESTDATA("data/reference") + QStringLiteral("/client-%1").arg(seed);
    if (qEnvironmentVariableIsSet("VELTRA_REMAKE_REFERENCE")) {
        QVERIFY(TreeFixture::writeFile(stored + ".log", run.out));
        QVERIFY(TreeFixture::writeFile(
            stored + ".tree", RandomClient::manifest(client.path()).join(QLatin1Char('\n')).toUtf8() + '\n'));
        return;
    }
    QCOMPARE(lines(run.out), lines(TreeFixture::readFile(stored + ".log")));
    QStringList tree = lines(TreeFixture::readFile(stored + ".tree"));
    tree.removeAll(QString());
    QCOMPARE(RandomClient::manifest(client.path()), tree);
}

void TestReadAhead::matchesReadingInTurn_data()
{
    QTest::addColumn<QStringList>("entries");
    for (quint32 seed = 11; seed <= 30; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("client %1").arg(seed))) << RandomClient::entries(seed, 12);

    // A's sprites are B's emotions: moving A's last image makes B's icon
    // exist, long after B could have been read.
    QStringList linked{"base/characters/A/sprites->../B/emotions", "base/characters/A/2.png=two",
        "base/characters/B/emotions/1.png=one",
        "base/characters/B/char.ini=[Emotions]\n1=a#-#a#0#0\n2=b#-#b#0#0\n"};
    for (int image = 1000; image < 1300; ++image)
        linked.append(QStringLiteral("base/characters/A/%1.png=%1").arg(image));
    QTest::newRow("a link leads into the next folder") << linked;

    // The other way round: B's emotions are A's sprites. Reading B passes the
    // link, so the folders it depended on cannot all be named.
    linked.replaceInStrings("A/sprites->../B/emotions", "A/sprites/1.png=one");
    linked.replaceInStrings("B/emotions/1.png=one", "B/emotions->../A/sprites");
    QTest::newRow("a link leads back into the folder before") << linked;
}

void TestReadAhead::matchesReadingInTurn()
{
    QFETCH(QStringList, entries);
    QTemporaryDir ahead;
    QTemporaryDir inTurn;
    QVERIFY(TreeFixture::build(ahead.path(), entries));
    QVERIFY(TreeFixture::build(inTurn.path(), entries));
    const Outcome read = walkIn(ahead.path(), ConversionReader(prepareLegacyFiles));
    const Outcome reference = walkIn(inTurn.path(), LegacyConverter(convertLegacyFiles));
    QCOMPARE(read.log, reference.log);
    QCOMPARE(read.tree, reference.tree);
    if (QByteArray(QTest::currentDataTag()).startsWith("a link"))
        QVERIFY(TreeFixture::readFile(inTurn.filePath("base/characters/B/char.toml"))
                    .contains("display_icon = \"2\""));
}

// Nothing of a run is held outside its context: two runs on two clients at
// once, each reading ahead on a thread of its own, give the trees and logs
// (change lines too) that the program gives for each alone.
void TestReadAhead::twoRunsSideBySide()
{
    QTemporaryDir together[2];
    QTemporaryDir alone[2];
    for (int at = 0; at < 2; ++at) {
        const QStringList entries = RandomClient::entries(quint32(41 + at), 16);
        QVERIFY(TreeFixture::build(together[at].path(), entries));
        QVERIFY(TreeFixture::build(alone[at].path(), entries));
    }
    RunOptions options;
    options.version = QStringLiteral("test");
    options.changeRecords = true;
    RunReport reports[2];
    std::thread first([&] { reports[0] = runMigration(together[0].path(), prepareLegacyFiles, options); });
    std::thread second([&] { reports[1] = runMigration(together[1].path(), prepareLegacyFiles, options); });
    first.join();
    second.join();
    for (int at = 0; at < 2; ++at) {
        const CliRun run = runCli({"--color=always", "-q", "-v", alone[at].path()});
        QVERIFY(run.finished);
        TextForm form;
        form.client = reports[at].log.client();
        form.changes = true;
        QVERIFY(reports[at].failure.isEmpty());
        QCOMPARE(joinLog(textLines(reports[at].log.records(), form)).split(QLatin1Char('\n')), lines(run.out));
        QCOMPARE(RandomClient::manifest(together[at].path()), RandomClient::manifest(alone[at].path()));
    }
}

QTEST_GUILESS_MAIN(TestReadAhead)
#include "tst_readahead.moc"
