#include "convert/convertlegacyfiles.h"
#include "testsupport/testrun.h"
#include "testsupport/treefixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kit = QStringLiteral("base/characters/Kit/");

QStringList inKit(const QStringList &entries)
{
    QStringList result;
    for (const QString &entry : entries)
        result.append(kit + entry);
    return result;
}

} // namespace

class TestConvertLegacyFiles : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void logLines_data();
    void logLines();
    void writtenBytes();

private:
    QTemporaryDir *m_dir = nullptr;
    QString m_previous;
};

void TestConvertLegacyFiles::init()
{
    m_previous = QDir::currentPath();
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void TestConvertLegacyFiles::cleanup()
{
    QDir::setCurrent(m_previous);
    delete m_dir;
    m_dir = nullptr;
}

void TestConvertLegacyFiles::logLines_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("inis");
    QTest::addColumn<QStringList>("lines");
    // Entries of the folder afterwards that the conversion added.
    QTest::addColumn<QStringList>("added");

    const QString emotions = QStringLiteral("=[Emotions]\n1=normal#-#normal#0#\n");

    QTest::newRow("nothing to convert")
        << QStringList{kit} << QStringList() << QStringList() << QStringList();
    QTest::newRow("converted") << inKit({"char.ini" + emotions}) << QStringList{"char.ini"}
                               << QStringList{"Converting char.ini..."}
                               << QStringList{"char.toml", "data/", "data/actor.json"};
    QTest::newRow("target exists") << inKit({"char.ini" + emotions, "char.toml=old"})
                                   << QStringList{"char.ini"}
                                   << QStringList{"Cannot convert char.ini, char.toml already exist."}
                                   << QStringList();
    QTest::newRow("target is a folder")
        << inKit({"char.ini" + emotions, "char.toml/"}) << QStringList{"char.ini"}
        << QStringList{"Cannot convert char.ini, char.toml already exist."} << QStringList();
    QTest::newRow("target is a dangling link")
        << inKit({"char.ini" + emotions, "char.toml->../elsewhere.toml"}) << QStringList{"char.ini"}
        << QStringList{"Cannot convert char.ini, char.toml already exist."} << QStringList();
    QTest::newRow("placeholders filled in one pass")
        << inKit({"a%2b.ini" + emotions, "a%2b.toml=old"}) << QStringList{"a%2b.ini"}
        << QStringList{"Cannot convert a%2b.ini, a%2b.toml already exist."} << QStringList();
    QTest::newRow("only the last extension goes")
        << inKit({"my.char.ini" + emotions}) << QStringList{"my.char.ini"}
        << QStringList{"Converting my.char.ini..."}
        << QStringList{"data/", "data/actor.json", "my.char.toml"};
    QTest::newRow("options only: actor data, no description")
        << inKit({"char.ini" + emotions, "extra.ini=[Options]\nside=wit\n"})
        << QStringList{"extra.ini", "char.ini"} << QStringList{"Converting char.ini..."}
        << QStringList{"char.toml", "data/", "data/actor.json"};
    QTest::newRow("scenario file") << inKit({"scene.ini=[scenario]\n[scenario]\nDisplay_Icon = 7\n"})
                                   << QStringList{"scene.ini"} << QStringList{"Converting scene.ini..."}
                                   << QStringList{"scene.toml"};
    QTest::newRow("missing file") << QStringList{kit} << QStringList{"gone.ini"} << QStringList()
                                  << QStringList();
}

void TestConvertLegacyFiles::logLines()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, inis);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, added);
    QVERIFY(TreeFixture::build(m_dir->path(), before));
    const QStringList tree = TreeFixture::describe(m_dir->path());

    QStringList paths;
    for (const QString &ini : inis)
        paths.append(kit + ini);
    TestRun run(m_dir->path());
    convertLegacyFiles(run.context, paths);
    QCOMPARE(run.lines(), lines);

    QStringList expected = tree + inKit(added);
    QStringList after = TreeFixture::describe(m_dir->path());
    // Written files are compared by name; their content is tested elsewhere.
    for (QString &entry : after) {
        if (!tree.contains(entry))
            entry = entry.section('=', 0, 0);
    }
    expected.sort();
    QCOMPARE(after, expected);
}

// The description of a typical legacy file, byte for byte.
void TestConvertLegacyFiles::writtenBytes()
{
    QVERIFY(TreeFixture::build(m_dir->path(),
        inKit({"char.ini=[Emotions]\r\nnumber=3\r\n1=Normal, happy#-#normal#0#1\r\n2=hide#-#invisible#1#0\r\n"
               "3=x\r\n[Sound]\r\n2=sfx#3\r\n",
            "emotions/1.png=i"})
            + QStringList{"base/sounds/general/sfx.wav=w"}));
    TestRun run(m_dir->path());
    convertLegacyFiles(run.context, {kit + "char.ini"});
    QCOMPARE(run.lines(), QStringList{"Converting char.ini..."});
    QCOMPARE(TreeFixture::readFile(kit + "char.toml"),
        QByteArray("\r\n\r\n[[scenario]]\r\n"
                   "actor_preset_name = \"1\"\r\n"
                   "display_icon = \"1\"\r\n"
                   "display_name = \"Normal, happy\"\r\n"
                   "emote_anim_file = \"-\"\r\n"
                   "emote_file = \"normal\"\r\n"
                   "sound_delay = 0\r\n"
                   "\r\n[[scenario]]\r\n"
                   "display_icon = \"button2_off\"\r\n"
                   "display_name = \"hide\"\r\n"
                   "emote_anim_file = \"-\"\r\n"
                   "emote_file = \"invisible\"\r\n"
                   "sound_delay = 180\r\n"
                   "sound_file = \"sfx\"\r\n"
                   "rules = {hide_dialog_emote=true, play_anim=true}\r\n"
                   "\r\n[[scenario]]\r\n"
                   "display_icon = \"button3_off\"\r\n"
                   "display_name = \"x\"\r\n"
                   "sound_delay = 0\r\n"
                   "\r\n"));
    QCOMPARE(TreeFixture::readFile(kit + "data/actor.json"),
        QByteArray("{\"presets\":[{\"display_name\":\"Kit\"},{}]}"));
}

QTEST_GUILESS_MAIN(TestConvertLegacyFiles)
#include "tst_convertlegacyfiles.moc"
