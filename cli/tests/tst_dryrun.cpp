// A preview foresees what the run will do, also where the run cannot do it:
// on made-up clients with links at document names, names past the file
// system's limit and folders that may not be changed, the dry run prints
// what the real run prints and exits as it exits. A character reached
// through a link from a later one is seen as the walk left it, although the
// preview packs away what it planned for each folder it is done with.

#include "testsupport/clirunner.h"
#include "testsupport/randomclient.h"
#include "testsupport/treefixture.h"

#include <QDirIterator>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>
#include <unistd.h>

namespace {

// Root may change any folder; the permission hazards need another user.
const uid_t nobody = 65534;

QStringList asUser(const QStringList &arguments)
{
    if (::geteuid() != 0)
        return arguments;
    return QStringList{"--reuid=65534", "--regid=65534", "--clear-groups", VELTRA_CLI} + arguments;
}

CliRun run(const QStringList &arguments)
{
    return ::geteuid() == 0 ? runProgram("setpriv", asUser(arguments)) : runCli(arguments);
}

// Hands the tree to the user the programs run as, and makes the folders
// named "locked..." read-only.
bool prepare(const QString &top)
{
    QDirIterator it(
        top, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    QStringList paths{top};
    while (it.hasNext())
        paths.append(it.next());
    for (const QString &path : paths) {
        const QByteArray native = QFile::encodeName(path);
        if (::geteuid() == 0 && ::lchown(native.constData(), nobody, nobody) != 0)
            return false;
        if (QFileInfo(path).isDir() && !QFileInfo(path).isSymLink()
            && QFileInfo(path).fileName().startsWith("locked") && ::chmod(native.constData(), 0555) != 0)
            return false;
    }
    return true;
}

} // namespace

class TestDryRun : public QObject
{
    Q_OBJECT

private slots:
    void foreseesTheHazards_data();
    void foreseesTheHazards();
    void seesEarlierCharactersAsLeft_data();
    void seesEarlierCharactersAsLeft();
};

void TestDryRun::foreseesTheHazards_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 12; ++seed)
        QTest::newRow(qPrintable(QString("client %1").arg(seed))) << seed;
}

void TestDryRun::foreseesTheHazards()
{
    QFETCH(quint32, seed);
    QTemporaryDir top;
    const QString client = top.filePath("client");
    QVERIFY(TreeFixture::build(client, RandomClient::hazards(seed, 8)));
    QVERIFY(prepare(top.path()));
    const QStringList before = RandomClient::manifest(client, true);

    const CliRun dry = run({"-n", "-v", "--color=never", "-q", client});
    QVERIFY(dry.finished);
    QCOMPARE(RandomClient::manifest(client, true), before); // the preview changed nothing
    const CliRun real = run({"-v", "--color=never", "-q", client});
    QVERIFY(real.finished);
    QCOMPARE(QString::fromUtf8(dry.out), QString::fromUtf8(real.out));
    QCOMPARE(dry.err, real.err);
    QCOMPARE(dry.exitCode, real.exitCode);
}

void TestDryRun::seesEarlierCharactersAsLeft_data()
{
    QTest::addColumn<QStringList>("tree");
    const QString a = "base/characters/A/";
    const QString b = "base/characters/B/";
    QTest::newRow("a link to a file the earlier one moved away")
        << QStringList{a + "a.png=a", b + "other.png->../A/a.png", b + "b.png=b"};
    QTest::newRow("a link to a folder the earlier one made")
        << QStringList{a + "a.png=a", b + "sprites->../A/sprites", b + "b.png=b"};
    QTest::newRow("a link to a folder the earlier one filled, with a name taken")
        << QStringList{a + "x.png=a", a + "sprites/", b + "sprites->../A/sprites", b + "x.png=b"};
    QTest::newRow("a link to a file the earlier one moved in")
        << QStringList{a + "char_icon.png=i", b + "icon.png->../A/actor.png", b + "c.gif=c"};
}

void TestDryRun::seesEarlierCharactersAsLeft()
{
    QFETCH(QStringList, tree);
    QTemporaryDir top;
    QVERIFY(TreeFixture::build(top.path(), tree));
    const QStringList before = TreeFixture::describe(top.path());

    const CliRun dry = runCli({"-n", "-v", "--color=never", "-q", top.path()});
    QVERIFY(dry.finished);
    QCOMPARE(TreeFixture::describe(top.path()), before);
    const CliRun real = runCli({"-v", "--color=never", "-q", top.path()});
    QVERIFY(real.finished);
    QVERIFY(TreeFixture::describe(top.path()) != before);
    QCOMPARE(QString::fromUtf8(dry.out), QString::fromUtf8(real.out));
    QCOMPARE(dry.err, real.err);
    QCOMPARE(dry.exitCode, real.exitCode);
}

QTEST_GUILESS_MAIN(TestDryRun)
#include "tst_dryrun.moc"
