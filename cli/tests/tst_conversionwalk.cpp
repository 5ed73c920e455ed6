// The conversion as a user meets it: a client tree, one run of the headless
// program, then the log, the written descriptions parsed back, their layout
// and the actor data file's exact bytes.

#include "testsupport/clirunner.h"
#include "testsupport/tomlparseback.h"
#include "testsupport/treefixture.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString chars = QStringLiteral("base/characters/");

using TomlParseBack::parseToml;

// JSON written with single quotes, so the tables stay readable.
QJsonObject json(const char *text)
{
    return QJsonDocument::fromJson(QByteArray(text).replace('\'', '"')).object();
}

QStringList in(const QString &character, const QStringList &entries)
{
    QStringList result;
    for (const QString &entry : entries)
        result.append(chars + character + '/' + entry);
    return result;
}

const QStringList generalSounds{
    "base/sounds/general/sfx-deskslam.opus=o", "base/sounds/general/sfx-hit.wav=w"};

const char *typicalIni = "[Options]\r\n"
                         "name=Kit\r\n"
                         "showname=Kit, the Bold\r\n"
                         "side=def\r\n"
                         "gender=male\r\n"
                         "chat=modern\r\n"
                         "shouts=custom\r\n"
                         "\r\n"
                         "[Emotions]\r\n"
                         "number=4\r\n"
                         "1=Normal, happy#-#normal#0#1\r\n"
                         "2=hide#-#invisible#1#0\r\n"
                         "10=Point#point_pre#point#PlayAnim|MirrorH#calm\r\n"
                         "3=x\r\n"
                         "FirstMode=1\r\n"
                         "\r\n"
                         "[SoundN]\r\n"
                         "1=sfx-deskslam\r\n"
                         "2=sfx-deskslam\r\n"
                         "3=missing\r\n"
                         "[SoundT]\r\n"
                         "1=3\r\n"
                         "3=5\r\n"
                         "[Sound]\r\n"
                         "2=sfx-hit#2\r\n";

const char *typicalToml
    = "{'scenario':["
      "{'display_icon':'1','display_name':'Normal, happy','emote_anim_file':'-',"
      "'emote_file':'normal','actor_preset_name':'1','sound_file':'sfx-deskslam',"
      "'sound_delay':3},"
      "{'display_icon':'button2_off','display_name':'hide','emote_anim_file':'-',"
      "'emote_file':'invisible','sound_file':'sfx-hit','sound_delay':120,"
      "'rules':{'play_anim':true,'hide_dialog_emote':true}},"
      "{'display_icon':'button3_off','display_name':'x','sound_delay':0},"
      "{'display_icon':'button10_off','display_name':'Point','emote_anim_file':'point_pre',"
      "'emote_file':'point','actor_preset_name':'calm','sound_delay':0,"
      "'rules':{'play_anim':true,'mirror_h':true}}]}";

const QByteArray typicalActor = "{\"chatbox_name\":\"modern\",\"position_name\":\"def\",\"presets\":["
                                "{\"display_name\":\"Kit\"},{\"blip_file\":\"male\",\"display_name\":\"Kit, "
                                "the Bold\"}],\"shout_name\":\"custom\"}";

} // namespace

class TestConversionWalk : public QObject
{
    Q_OBJECT

private slots:
    void conversion_data();
    void conversion();
};

void TestConversionWalk::conversion_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QStringList>("lines");
    // Character-relative TOML files and their content, read back as JSON.
    QTest::addColumn<QStringList>("tomlFiles");
    QTest::addColumn<QList<QJsonObject>>("tomlContents");
    // The actor data file's bytes; empty when there must be none.
    QTest::addColumn<QByteArray>("actorData");

    const QStringList typical = generalSounds
        + in("Kit",
            {QStringLiteral("char.ini=") + typicalIni, "emotions/1.png=i", "emotions/button2_off.png=b"});

    QTest::newRow("typical description")
        << typical << QStringList{"Converting char.ini..."} << QStringList{"char.toml"}
        << QList<QJsonObject>{json(typicalToml)} << typicalActor;

    QTest::newRow("scenario file") << in("Kit",
        {"scene.ini=; notes\n[scenario]\ndisplay_icon = 7\ndisplay_name = \"Hello,   world\"\n"
         "emote_file = normal ; idle\nsound_delay = 12\nrules = PlayAnim|mirrorh\n[other]\n"
         "emote_file = skipped\n[scenario]\nDisplay_Icon = 7\nemote_file = a\\;b\n"
         "sound_delay = \"12\"\n[Scenario]\nemote_file = case\n"})
                                   << QStringList{"Converting scene.ini..."} << QStringList{"scene.toml"}
                                   << QList<QJsonObject>{json(
                                          "{'scenario':[{'display_icon':'7','display_name':'Hello, world',"
                                          "'emote_file':'normal','sound_delay':12,"
                                          "'rules':{'play_anim':true,'mirror_h':true}},"
                                          "{'emote_file':'a\\\\;b','sound_delay':0}]}")}
                                   << QByteArray();

    QTest::newRow("existing target refused")
        << (generalSounds + in("Kit", {QStringLiteral("char.ini=") + typicalIni, "char.toml=old"}))
        << QStringList{"Cannot convert char.ini, char.toml already exist."} << QStringList{}
        << QList<QJsonObject>{} << QByteArray();

    QTest::newRow("options-only file after the description")
        << (typical + in("Kit", {"extra.ini=[Options]\nshowname=Other\nside=wit\n"}))
        << QStringList{"Converting char.ini..."} << QStringList{"char.toml"}
        << QList<QJsonObject>{json(typicalToml)} << typicalActor;

    QTest::newRow("options-only file first makes the actor data")
        << (typical + in("Kit", {"a.ini=[Options]\nshowname=Other\nside=wit\n"}))
        << QStringList{"Converting char.ini..."} << QStringList{"char.toml"}
        << QList<QJsonObject>{json(typicalToml)}
        << QByteArray("{\"position_name\":\"wit\",\"presets\":[{\"display_name\":\"Kit\"},"
                      "{\"display_name\":\"Other\"}]}");

    const QByteArray existing = "{\r\n  \"shout_name\" : \"mine\"\r\n}\r\n";
    QTest::newRow("existing actor data left as it is")
        << (typical + in("Kit", {"data/actor.json=" + QString::fromUtf8(existing)}))
        << QStringList{"Converting char.ini..."} << QStringList{"char.toml"}
        << QList<QJsonObject>{json(typicalToml)} << existing;

    QTest::newRow("non-ASCII text") << in("Zo\u00eb",
        {"char.ini=[Options]\nshowname=Zo\u00eb, \u732b\n[Emotions]\n1=L\u00e4cheln, breit#-#smile#0#\n"})
                                    << QStringList{"Converting char.ini..."} << QStringList{"char.toml"}
                                    << QList<QJsonObject>{json("{'scenario':[{'display_icon':'button1_off',"
                                                               "'display_name':'L\xc3\xa4"
                                                               "cheln, breit','emote_anim_file':'-',"
                                                               "'emote_file':'smile','sound_delay':0}]}")}
                                    << QByteArray("{\"presets\":[{\"display_name\":\"Zo\xc3\xab\"},{"
                                                  "\"display_name\":\"Zo\xc3\xab, "
                                                  "\xe7\x8c\xab\"}]}");
}

void TestConversionWalk::conversion()
{
    QFETCH(QStringList, before);
    QFETCH(QStringList, lines);
    QFETCH(QStringList, tomlFiles);
    QFETCH(QList<QJsonObject>, tomlContents);
    QFETCH(QByteArray, actorData);
    QTemporaryDir client;
    QVERIFY(TreeFixture::build(client.path(), before));
    const QString character = before.constLast().section('/', 2, 2);
    const QDir folder(client.filePath(chars + character));
    QMap<QString, QByteArray> untouched;
    for (const QString &entry : before) {
        if (entry.endsWith(QLatin1String(".toml=old")) || entry.contains(QLatin1String(".ini=")))
            untouched.insert(
                entry.section('=', 0, 0), TreeFixture::readFile(client.filePath(entry.section('=', 0, 0))));
    }

    const CliRun run = runCli({"--color=never", client.path()});
    QVERIFY(run.finished);
    QCOMPARE(run.exitCode, 0);
    const QStringList log
        = QStringList{"Restructuring " + character + "..."} + lines + QStringList{"Done!\n"};
    QCOMPARE(QString::fromUtf8(run.out), log.join('\n'));

    QStringList written = folder.entryList({"*.toml"}, QDir::Files);
    if (untouched.contains(chars + character + "/char.toml"))
        written.removeOne(QStringLiteral("char.toml"));
    QCOMPARE(written, tomlFiles);
    for (int i = 0; i < tomlFiles.size(); ++i) {
        const QByteArray bytes = TreeFixture::readFile(folder.filePath(tomlFiles.at(i)));
        QCOMPARE(parseToml(bytes), tomlContents.at(i));
        QVERIFY(!bytes.startsWith("\xef\xbb\xbf"));
        QCOMPARE(bytes.count('\n'), bytes.count("\r\n"));
        QCOMPARE(bytes.count("\r\n\r\n[[scenario]]\r\n"), bytes.count("[[scenario]]"));
        QVERIFY(!bytes.contains("\r\n\r\n\r\n[[scenario]]"));
    }

    const QString actorPath = folder.filePath(QStringLiteral("data/actor.json"));
    if (actorData.isEmpty())
        QVERIFY(!QFileInfo::exists(actorPath));
    else
        QCOMPARE(TreeFixture::readFile(actorPath), actorData);

    for (auto it = untouched.cbegin(); it != untouched.cend(); ++it)
        QCOMPARE(TreeFixture::readFile(client.filePath(it.key())), it.value());
}

QTEST_GUILESS_MAIN(TestConversionWalk)
#include "tst_conversionwalk.moc"
