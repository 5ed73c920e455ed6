#include "convert/convertlegacyini.h"
#include "filesystem/plannedfilesystem.h"
#include "testsupport/testrun.h"
#include "testsupport/treefixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString kit = QStringLiteral("base/characters/Kit/");

// One emote on one line: icon|name|animation|file|preset|sound|delay|rules.
QString describe(const CsActor::LegacyEmote &emote)
{
    QStringList rules;
    const QJsonObject switches = emote.rules.toJson();
    for (const QString &key : switches.keys()) {
        if (switches.value(key).toBool())
            rules.append(key);
    }
    return QStringList{emote.display_icon, emote.display_name, emote.emote_anim_file, emote.emote_file,
        emote.actor_preset_name, emote.sound_file, QString::number(emote.sound_delay), rules.join('+')}
        .join('|');
}

QStringList describe(const QList<CsActor::LegacyEmote> &emotes)
{
    QStringList result;
    for (const CsActor::LegacyEmote &emote : emotes)
        result.append(describe(emote));
    return result;
}

QStringList inKit(const QStringList &entries)
{
    QStringList result;
    for (const QString &entry : entries)
        result.append(kit + entry);
    return result;
}

} // namespace

class TestConvertLegacyIni : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void emotes_data();
    void emotes();
    void actorData_data();
    void actorData();
    void existingActorDataUntouched();
    void secondDescriptionKeepsFirstActorData();
    void readsWhatTheSeamReads();

private:
    QList<CsActor::LegacyEmote> convert(const QByteArray &ini, const QStringList &entries = {});

    QTemporaryDir *m_dir = nullptr;
    QString m_previous;
};

void TestConvertLegacyIni::init()
{
    m_previous = QDir::currentPath();
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
    QVERIFY(TreeFixture::build(m_dir->path(),
        {"base/sounds/general/sfx.opus=o", "base/sounds/general/hit.wav=w",
            "base/sounds/general/Kit, loud.mp3=m", kit}));
}

void TestConvertLegacyIni::cleanup()
{
    QDir::setCurrent(m_previous);
    delete m_dir;
    m_dir = nullptr;
}

QList<CsActor::LegacyEmote> TestConvertLegacyIni::convert(const QByteArray &ini, const QStringList &entries)
{
    QList<CsActor::LegacyEmote> emotes{CsActor::LegacyEmote()};
    if (!TreeFixture::build(m_dir->path(), inKit(entries)) || !TreeFixture::writeFile(kit + "char.ini", ini))
        return emotes;
    TestRun run(m_dir->path());
    convertLegacyIni(run.context, emotes, kit + "char.ini");
    return emotes;
}

void TestConvertLegacyIni::emotes_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QStringList>("emotes");

    QTest::newRow("emotion line") << QByteArray("[Emotions]\n1 = normal#-#normal#0#1\n") << QStringList()
                                  << QStringList{"button1_off|normal|-|normal|1||0|"};
    QTest::newRow("invisible, preset 0")
        << QByteArray("[Emotions]\n2 = hide#-#invisible#1#0\n") << QStringList()
        << QStringList{"button2_off|hide|-|invisible|||0|hide_dialog_emote+hide_front+play_anim"};
    QTest::newRow("one part") << QByteArray("[Emotions]\n3 = x\n") << QStringList()
                              << QStringList{"button3_off|x|||||0|"};
    QTest::newRow("comma in the value")
        << QByteArray("[Emotions]\n1 = Normal, happy#-#normal#0#1\n") << QStringList()
        << QStringList{"button1_off|Normal, happy|-|normal|1||0|"};
    QTest::newRow("rules")
        << QByteArray(
               "[Emotions]\n1=a#-#a#PlayAnim|MirrorH\n2=b#-#b#playanim|mirrorv\n3=c#-#c#PlayAnim | MirrorH\n"
               "4=d#-#d#257\n5=e#-#e#-1\n")
        << QStringList()
        << QStringList{"button1_off|a|-|a|||0|mirror_h+play_anim", "button2_off|b|-|b|||0|mirror_v+play_anim",
               "button3_off|c|-|c|||0|", "button4_off|d|-|d|||0|mirror_v+play_anim",
               "button5_off|e|-|e|||0|anim_is_movie+back_is_zoom+hide_back+hide_dialog_emote+hide_front+"
               "mirror_h+mirror_v+play_anim+play_flash"};
    QTest::newRow("order by key, folders after")
        << QByteArray("[Emotions]\n10=j\n2=b\nSub/10=s10\n1=a\nsub/2=s2\nz=z\nNumber=5\nFirstMode=1\n")
        << QStringList()
        << QStringList{"button1_off|a|||||0|", "button2_off|b|||||0|", "button10_off|j|||||0|",
               "buttonz_off|z|||||0|", "buttonsub/2_off|s2|||||0|", "buttonSub/10_off|s10|||||0|"};
    QTest::newRow("UTF-8 emotion key finds its icon")
        << QByteArray("[Emotions]\nZo\xc3\xab=Zo\xc3\xab#-#normal\n")
        << QStringList{"emotions/zo\u00eb.png=i"} << QStringList{"zo\u00eb|Zo\u00eb|-|normal|||0|"};
    QTest::newRow("only number and firstmode")
        << QByteArray("[EMOTIONS]\nNUMBER=2\nfirstmode=1\n") << QStringList() << QStringList();
    QTest::newRow("icons present kept")
        << QByteArray("[Emotions]\n1=a\n2=b\nsub/3=c\n")
        << QStringList{"emotions/1.png=i", "emotions/button2_off.png=i", "emotions/sub/3.png=i"}
        << QStringList{"1|a|||||0|", "button2_off|b|||||0|", "sub/3|c|||||0|"};
    QTest::newRow("[Sound] counts seconds")
        << QByteArray("[Emotions]\n1=a\n2=b\n3=c\n[Sound]\n1=sfx#3\n2=hit\n3=hit#x\n") << QStringList()
        << QStringList{"button1_off|a||||sfx|180|", "button2_off|b||||hit|0|", "button3_off|c||||hit|0|"};
    QTest::newRow("[SoundN] and [SoundT] count ticks")
        << QByteArray("[Emotions]\n1=a\n2=b\n[SoundN]\n1=sfx\n2=hit\n[SoundT]\n1=3\n2=x\n") << QStringList()
        << QStringList{"button1_off|a||||sfx|3|", "button2_off|b||||hit|0|"};
    QTest::newRow("[Sound] wins") << QByteArray(
        "[Emotions]\n1=a\n[Sound]\n1=hit#1\n[SoundN]\n1=sfx\n[SoundT]\n1=3\n")
                                  << QStringList() << QStringList{"button1_off|a||||hit|60|"};
    QTest::newRow("missing sound clears the delay")
        << QByteArray("[Emotions]\n1=a\n2=b\n[Sound]\n1=gone#3\n[SoundT]\n2=7\n") << QStringList()
        << QStringList{"button1_off|a|||||0|", "button2_off|b|||||0|"};
    QTest::newRow("sound named with its suffix, or with a comma")
        << QByteArray("[Emotions]\n1=a\n2=b\n[SoundN]\n1=hit.wav\n2=Kit, loud\n[SoundT]\n1=1\n2=2\n")
        << QStringList() << QStringList{"button1_off|a||||hit.wav|1|", "button2_off|b||||Kit, loud|2|"};
    QTest::newRow("huge [Sound] delay saturates")
        << QByteArray("[Emotions]\n1=a\n2=b\n[Sound]\n1=sfx#99999999\n2=sfx#-99999999\n") << QStringList()
        << QStringList{"button1_off|a||||sfx|2147483647|", "button2_off|b||||sfx|-2147483648|"};
    QTest::newRow("scenario file goes to its own reader")
        << QByteArray("[Options]\nshowname=x\n[Emotions]\n1=a\n[scenario]\nemote_file = s\n") << QStringList()
        << QStringList{"|||s|||0|"};
    QTest::newRow("scenario in another case converts to nothing")
        << QByteArray("[Emotions]\n1=a\n[Scenario]\nemote_file = s\n") << QStringList() << QStringList();
}

void TestConvertLegacyIni::emotes()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, entries);
    QFETCH(QStringList, emotes);
    QCOMPARE(describe(convert(ini, entries)), emotes);
}

void TestConvertLegacyIni::actorData_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QByteArray>("actorData");

    QTest::newRow("all options")
        << QByteArray(
               "[Options]\nname=Kit\nshowname=Kit\nside=def\ngender=male\nchat=modern\nshouts=custom\n")
        << QByteArray(
               "{\"chatbox_name\":\"modern\",\"position_name\":\"def\",\"presets\":[{\"display_name\":"
               "\"Kit\"},{\"blip_file\":\"male\",\"display_name\":\"Kit\"}],\"shout_name\":\"custom\"}");
    QTest::newRow("no options: the shout name is emptied")
        << QByteArray("[Emotions]\n1=a\n") << QByteArray("{\"presets\":[{\"display_name\":\"Kit\"},{}]}");
    QTest::newRow("show name with a comma")
        << QByteArray("[Options]\nshowname=Kit, the Bold\n")
        << QByteArray("{\"presets\":[{\"display_name\":\"Kit\"},{\"display_name\":\"Kit, the Bold\"}]}");
    QTest::newRow("UTF-8 show name")
        << QByteArray("[Options]\nshowname=Zo\xc3\xab\n")
        << QByteArray("{\"presets\":[{\"display_name\":\"Kit\"},{\"display_name\":\"Zo\xc3\xab\"}]}");
    QTest::newRow("Latin-1 show name")
        << QByteArray("[Options]\nshowname=Zo\xeb\n")
        << QByteArray("{\"presets\":[{\"display_name\":\"Kit\"},{\"display_name\":\"Zo\xc3\xab\"}]}");
    QTest::newRow("scenario file makes none")
        << QByteArray("[Options]\nside=def\n[scenario]\nemote_file=a\n") << QByteArray();
}

void TestConvertLegacyIni::actorData()
{
    QFETCH(QByteArray, ini);
    QFETCH(QByteArray, actorData);
    convert(ini);
    const QString path = kit + "data/actor.json";
    if (actorData.isEmpty())
        QVERIFY(!QFileInfo::exists(path));
    else
        QCOMPARE(TreeFixture::readFile(path), actorData);
}

void TestConvertLegacyIni::existingActorDataUntouched()
{
    const QByteArray existing = "{ \"shout_name\": \"mine\" }\r\n";
    const QList<CsActor::LegacyEmote> emotes = convert("[Options]\nside=def\nshowname=New\n[Emotions]\n1=a\n",
        {QStringLiteral("data/actor.json=") + QString::fromUtf8(existing)});
    QCOMPARE(describe(emotes), QStringList{"button1_off|a|||||0|"});
    QCOMPARE(TreeFixture::readFile(kit + "data/actor.json"), existing);
}

void TestConvertLegacyIni::secondDescriptionKeepsFirstActorData()
{
    QVERIFY(TreeFixture::writeFile(kit + "extra.ini", "[Options]\nshowname=Other\n"));
    QList<CsActor::LegacyEmote> emotes{CsActor::LegacyEmote()};
    TestRun run(m_dir->path());
    convertLegacyIni(run.context, emotes, kit + "extra.ini");
    QVERIFY(emotes.isEmpty());
    const QByteArray first = TreeFixture::readFile(kit + "data/actor.json");
    QCOMPARE(first, QByteArray("{\"presets\":[{\"display_name\":\"Kit\"},{\"display_name\":\"Other\"}]}"));

    convert("[Options]\nshowname=Second\n[Emotions]\n1=a\n");
    QCOMPARE(TreeFixture::readFile(kit + "data/actor.json"), first);

    // A description that is gone names no folder and leaves nothing behind.
    convertLegacyIni(run.context, emotes, QStringLiteral("base/characters/Gone/char.ini"));
    QVERIFY(emotes.isEmpty());
    QVERIFY(!QFileInfo::exists(QStringLiteral("base/characters/data")));
    QVERIFY(!QFileInfo::exists(QStringLiteral("base/characters/Gone")));
}

void TestConvertLegacyIni::readsWhatTheSeamReads()
{
    // The description is taken as the seam gives it, here a dry run's plan,
    // and the disk is not read again behind it.
    QVERIFY(TreeFixture::writeFile(kit + "char.ini", "[Emotions]\n1=on disk\n"));
    TestRun run(m_dir->path());
    PlannedFileSystem planned;
    FileError error;
    QVERIFY(planned.writeDocument(kit + "char.ini", "[Emotions]\n1=planned\n", &error));
    RunContext context{run.report.client(), planned, run.report, {}, {}};
    QList<CsActor::LegacyEmote> emotes;
    convertLegacyIni(context, emotes, kit + "char.ini");
    QCOMPARE(describe(emotes), QStringList{"button1_off|planned|||||0|"});
}

QTEST_GUILESS_MAIN(TestConvertLegacyIni)
#include "tst_convertlegacyini.moc"
