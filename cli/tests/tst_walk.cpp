// The whole walk through the headless program: a client tree before, the
// tree after, and the exact log bytes, colour codes included.

#include "testsupport/clirunner.h"
#include "testsupport/treefixture.h"

#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString warn = QStringLiteral("\x1b[33m[WARNING] \x1b[0m");
const QString error = QStringLiteral("\x1b[31m[ERROR] \x1b[0m");
const QString chars = QStringLiteral("base/characters/");

// Prefixes every entry with the characters folder and the given character.
QStringList in(const QString &character, const QStringList &entries)
{
    QStringList result;
    for (const QString &entry : entries)
        result.append(chars + character + '/' + entry);
    return result;
}

QString folderLog(const QString &character, const QStringList &lines = QStringList())
{
    return (QStringList{"Restructuring " + character + "..."} + lines + QStringList{"Done!\n"}).join('\n');
}

} // namespace

class TestWalk : public QObject
{
    Q_OBJECT

private slots:
    void walk_data();
    void walk();
    void secondRunChangesNothing();
};

void TestWalk::walk_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QString>("log");

    QTest::newRow("nothing to do") << in("Kit", {"data/", "notes.txt=n"})
                                   << in("Kit", {"", "data/", "notes.txt=n"}) << folderLog("Kit");
    QTest::newRow("icon moved, loose images into sprites")
        << in("Kit",
               {"char_icon.png=i", "Button1_off.png=b", "button2_ON.gif=c", "pic.jpeg=j", ".hidden.png=h"})
        << in("Kit",
               {"", ".hidden.png=h", "actor.png=i", "pic.jpeg=j", "sprites/", "sprites/Button1_off.png=b",
                   "sprites/button2_ON.gif=c"})
        << folderLog("Kit");
    QTest::newRow("identical icon deleted")
        << in("Kit", {"char_icon.png=i", "actor.png=i"}) << in("Kit", {"", "actor.png=i"})
        << folderLog(
               "Kit", {warn + "char_icon.png is a duplicate of actor.png, char_icon.png has been deleted"});
    QTest::newRow("different icon kept, not taken for a sprite")
        << in("Kit", {"char_icon.png=old", "actor.png=new"})
        << in("Kit", {"", "actor.png=new", "char_icon.png=old"})
        << folderLog("Kit",
               {error + "unable to move char_icon.png to actor.png; files are different from each others"});
    QTest::newRow("emotions beside resources go to sprites")
        << in("Kit", {"emotions/1.png=a", "resources/2.png=b"})
        << in("Kit",
               {"", "resources/", "resources/2.png=b", "sprites/", "sprites/emotions/",
                   "sprites/emotions/1.png=a"})
        << folderLog("Kit",
               {error + "unable to move emotions to resources: unknown error; opened in another process"});
    QTest::newRow("emotions renamed")
        << in("Kit", {"emotions/1.png=a", "emotions/sub/2.png=b"})
        << in("Kit", {"", "resources/", "resources/1.png=a", "resources/sub/", "resources/sub/2.png=b"})
        << folderLog("Kit");
    QTest::newRow("shout sounds in the character folder")
        << in("Kit",
               {"objection.wav=o", "Objection.wav=O", "holdit.WAV=h", "holdit.opus=p", "custom2.Loud.wav=c"})
        << in("Kit",
               {"", "Objection.wav=O", "holdit.WAV=h", "holdit.opus=p", "shouts/", "shouts/sounds/",
                   "shouts/sounds/custom2.loud.wav=c", "shouts/sounds/objection.wav=o"})
        << folderLog("Kit");
    QTest::newRow("shouts folder") << in("Kit",
        {"shouts/Custom2.GIF=G", "shouts/Custom2.gif=g", "shouts/takethat.opus=t", "shouts/music.ogg=m",
            "shouts/Banner.PNG.webp=w"})
                                   << in("Kit",
                                          {"", "shouts/", "shouts/Custom2.GIF=G", "shouts/music.ogg=m",
                                              "shouts/sounds/", "shouts/sounds/takethat.opus=t",
                                              "shouts/sprites/", "shouts/sprites/banner.png.webp=w",
                                              "shouts/sprites/custom2.gif=g"})
                                   << folderLog("Kit");
    QTest::newRow("sub-folders") << in(
        "Kit", {"(a)/x=1", "Sounds/", "data/", "resources/", "shouts/", "sprites/", "Data/"})
                                 << in("Kit",
                                        {"", "data/", "resources/", "shouts/", "sprites/", "sprites/(a)/",
                                            "sprites/(a)/x=1", "sprites/Data/", "sprites/Sounds/"})
                                 << folderLog("Kit");
    QTest::newRow("duplicate and colliding sprites")
        << in("Kit", {"a.png=same", "b.png=one", "sprites/a.png=same", "sprites/b.png=two"})
        << in("Kit", {"", "b.png=one", "sprites/", "sprites/a.png=same", "sprites/b.png=two"})
        << folderLog("Kit",
               {warn + "a.png is a duplicate of sprites/a.png, a.png has been deleted",
                   error + "unable to move b.png to sprites/b.png; files are different from each others"});
    QTest::newRow("folder name with two dots is migrated as found")
        << (in("Mr..X", {"char_icon.png=i", "pic.png=p"}) + in("MrX", {"x.png=x"}))
        << (in("Mr..X", {"", "actor.png=i", "sprites/", "sprites/pic.png=p"})
               + in("MrX", {"", "sprites/", "sprites/x.png=x"}))
        << folderLog("Mr..X") + '\n' + folderLog("MrX");
    QTest::newRow("two folders, in name order ignoring case")
        << (in("b", {"char_icon.png=1"}) + in("A", {"x.png=2"}))
        << (in("A", {"", "sprites/", "sprites/x.png=2"}) + in("b", {"", "actor.png=1"}))
        << folderLog("A") + '\n' + folderLog("b");
    QTest::newRow("every rule, in order")
        << in("Kit",
               {"char_icon.png=i", "actor.png=j", "emotions/1.png=e", "holdit.wav=h", "shouts/holdit.wav=s",
                   "shouts/h.png=p", "shouts/sprites/h.png=q", "misc/", "sprites/misc/", "z.png=z",
                   "sprites/z.png=z"})
        << in("Kit",
               {"", "actor.png=j", "char_icon.png=i", "misc/", "resources/", "resources/1.png=e", "shouts/",
                   "shouts/h.png=p", "shouts/sounds/", "shouts/sounds/holdit.wav=h", "shouts/holdit.wav=s",
                   "shouts/sprites/", "shouts/sprites/h.png=q", "sprites/", "sprites/misc/",
                   "sprites/z.png=z"})
        << folderLog("Kit",
               {error + "unable to move char_icon.png to actor.png; files are different from each others",
                   error
                       + "unable to move holdit.wav to sounds/holdit.wav; files are different from each "
                         "others",
                   error + "unable to move h.png to sprites/h.png; files are different from each others",
                   error + "unable to move misc to sprites/misc: unknown error; opened in another process",
                   warn + "z.png is a duplicate of sprites/z.png, z.png has been deleted"});
}

void TestWalk::walk()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, after);
    QFETCH(QString, log);
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), before));

    const CliRun run = runCli({"--color=always", "--quiet", client.path()});
    QVERIFY(run.finished);
    QCOMPARE(QString::fromUtf8(run.out), log);
    QCOMPARE(run.err, QByteArray());
    QCOMPARE(run.exitCode, log.contains(error) ? 1 : 0);

    QStringList expected = after + QStringList{"base/", "base/characters/"};
    expected.sort();
    QCOMPARE(TreeFixture::describe(client.path()), expected);
}

void TestWalk::secondRunChangesNothing()
{
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(),
        in("Kit",
            {"char_icon.png=i", "emotions/1.png=e", "objection.wav=o", "shouts/custom.gif=c", "misc/a=1",
                "Button1_off.png=b",
                "char.ini=[Options]\nshowname=Kit\n\n[Emotions]\nnumber=1\n1=normal#-#normal#0#\n"})
            + in("Mira", {"actor.png=m", "char_icon.png=m"})));

    const CliRun first = runCli({client.path()});
    QVERIFY(first.finished);
    QCOMPARE(first.exitCode, 0);
    const QStringList migrated = TreeFixture::describe(client.path());

    const CliRun second = runCli({client.path()});
    QVERIFY(second.finished);
    QCOMPARE(TreeFixture::describe(client.path()), migrated);
    QCOMPARE(second.exitCode, 0);
    QCOMPARE(QString::fromUtf8(second.out),
        folderLog("Kit", {"Cannot convert char.ini, char.toml already exist."}) + '\n' + folderLog("Mira"));
}

QTEST_GUILESS_MAIN(TestWalk)
#include "tst_walk.moc"
