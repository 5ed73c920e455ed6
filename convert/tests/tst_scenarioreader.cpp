#include "convert/scenarioreader.h"
#include "filesystem/diskfilesystem.h"
#include "testsupport/treefixture.h"

#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

namespace {

// JSON written with single quotes, so the tables stay readable.
QJsonArray json(const QByteArray &text)
{
    return QJsonDocument::fromJson(QByteArray(text).replace('\'', '"')).array();
}

} // namespace

class TestScenarioReader : public QObject
{
    Q_OBJECT

    DiskFileSystem m_disk; // the tests' own seam

private slots:
    void sections_data();
    void sections();
    void emotes_data();
    void emotes();
    void unreadableFileGivesNothing();

private:
    QString write(const QByteArray &bytes);

    QTemporaryDir m_dir;
    int m_files = 0;
};

QString TestScenarioReader::write(const QByteArray &bytes)
{
    const QString path = m_dir.filePath(QStringLiteral("scene%1.ini").arg(++m_files));
    if (!TreeFixture::writeFile(path, bytes))
        return QString();
    return path;
}

void TestScenarioReader::sections_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QJsonArray>("data");

    QTest::newRow("name compared exactly") << QByteArray("[Scenario]\nemote_file = a\n") << QJsonArray();
    QTest::newRow("empty sections not kept")
        << QByteArray("[scenario]\n[scenario]\n; only a comment\n\n") << QJsonArray();
    QTest::newRow("two sections in file order, others skipped")
        << QByteArray("[scenario]\nemote_file = a\n[other]\nemote_file = b\n[scenario]\nemote_file = c\n")
        << json("[{'emote_file':'a'},{'emote_file':'c'}]");
    QTest::newRow("entries before the first header dropped")
        << QByteArray("emote_file = early\n[scenario]\nsound_file = s\n") << json("[{'sound_file':'s'}]");
    QTest::newRow("indented header and entry ignored")
        << QByteArray("[scenario]\nemote_file = a\n  [scenario]\n  sound_file = s\n")
        << json("[{'emote_file':'a'}]");
    QTest::newRow("header with a comment or trailing text")
        << QByteArray("[scenario] ; note\nemote_file = a\n[scenario]x\nemote_file = b\n")
        << json("[{'emote_file':'a'},{'emote_file':'b'}]");
    QTest::newRow("header holding an equals sign")
        << QByteArray("[scenario]\nemote_file = a\n[scenario=1]\nemote_file = b\n")
        << json("[{'emote_file':'a'}]");
    QTest::newRow("greedy header name") << QByteArray("[scenario]]\nemote_file = a\n") << QJsonArray();
    QTest::newRow("comments") << QByteArray(
        "[scenario]\nemote_file = normal ; comment\nsound_file = a\\;b\ndisplay_name = x;\n")
                              << json("[{'emote_file':'normal','sound_file':'a\\\\;b','display_name':'x;'}]");
    QTest::newRow("quotes dropped, spaces simplified")
        << QByteArray(
               "[scenario]\ndisplay_name = \"Hello   World\"\nemote_file = \"\"\nsound_file =  a   b  \n")
        << json("[{'display_name':'Hello World','emote_file':'\\'\\'','sound_file':'a b'}]");
    QTest::newRow("integers") << QByteArray(
        "[scenario]\ndisplay_icon = 7\nsound_delay = 12\nemote_file = \"12\"\nrules = 99999999999\n")
                              << json("[{'display_icon':'7','sound_delay':12,'emote_file':'12','rules':0}]");
    QTest::newRow("icon exemption compares the key as written")
        << QByteArray("[scenario]\nDisplay_Icon = 7\n") << json("[{'display_icon':7}]");
    QTest::newRow("key without value ignored, blank value kept")
        << QByteArray("[scenario]\nemote_file=\nsound_file = \n") << json("[{'sound_file':''}]");
    QTest::newRow("repeated key keeps the last value")
        << QByteArray("[scenario]\nemote_file = a\nEmote_File = b\n") << json("[{'emote_file':'b'}]");
    QTest::newRow("CR LF line ends") << QByteArray("[scenario]\r\nemote_file = a\r\n")
                                     << json("[{'emote_file':'a'}]");
    // Decoding follows the settings reader: UTF-8 when valid, else Latin-1.
    QTest::newRow("UTF-8") << QByteArray("[scenario]\ndisplay_name = Zo\xc3\xab\n")
                           << json("[{'display_name':'Zo\xc3\xab'}]");
    QTest::newRow("Latin-1") << QByteArray("[scenario]\ndisplay_name = Zo\xeb\n")
                             << json("[{'display_name':'Zo\xc3\xab'}]");
    QTest::newRow("NUL bytes") << QByteArrayLiteral(
        "[scenario]\nemote_file = a\0b\n\0\n[scenario]\nsound_file = Zo\xeb\n")
                               << json("[{'emote_file':'a\\u0000b'},{'sound_file':'Zo\xc3\xab'}]");
    // A file that starts with the mark is UTF-8, as the settings reader takes it.
    QTest::newRow("mark, then bytes that are not UTF-8")
        << QByteArray("\xef\xbb\xbf[scenario]\ndisplay_name = Zo\xeb\n")
        << json("[{'display_name':'Zo\xef\xbf\xbd'}]");
}

void TestScenarioReader::sections()
{
    QFETCH(QByteArray, ini);
    QFETCH(QJsonArray, data);
    QCOMPARE(readScenarioData(m_disk, write(ini)), data);
}

void TestScenarioReader::emotes_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QJsonArray>("emotes");

    QTest::newRow("texts and delay")
        << QByteArray("[scenario]\ndisplay_icon = 7\ndisplay_name = Kit\nactor_preset_name = calm\n"
                      "emote_file = normal\nemote_anim_file = pre\nsound_file = sfx\nsound_delay = 12\n")
        << json("[{'display_icon':'7','display_name':'Kit','actor_preset_name':'calm','emote_file':'normal',"
                "'emote_anim_file':'pre','sound_file':'sfx','sound_delay':12}]");
    QTest::newRow("wrong types give defaults")
        << QByteArray("[scenario]\nDisplay_Icon = 7\nemote_file = 5\nsound_delay = \"12\"\n")
        << json("[{'sound_delay':0}]");
    QTest::newRow("rules as a mask and as names")
        << QByteArray("[scenario]\nrules = 129\n[scenario]\nrules = PlayAnim|mirrorh\n")
        << json("[{'sound_delay':0,'rules':129},{'sound_delay':0,'rules':129}]");
}

void TestScenarioReader::emotes()
{
    QFETCH(QByteArray, ini);
    QFETCH(QJsonArray, emotes);
    QList<CsActor::LegacyEmote> read{CsActor::LegacyEmote()};
    readScenarioIni(m_disk, read, write(ini));
    QJsonArray expected;
    for (const QJsonValue &value : emotes) {
        QJsonObject object = value.toObject();
        object.insert(QStringLiteral("rules"),
            CsActor::LegacyEmoteRules::fromJson(object.value(QStringLiteral("rules"))).toJson());
        expected.append(object);
    }
    QJsonArray actual;
    for (const CsActor::LegacyEmote &emote : read)
        actual.append(emote.toJson());
    QCOMPARE(actual, expected);
}

void TestScenarioReader::unreadableFileGivesNothing()
{
    QList<CsActor::LegacyEmote> read{CsActor::LegacyEmote()};
    readScenarioIni(m_disk, read, m_dir.filePath(QStringLiteral("absent.ini")));
    QVERIFY(read.isEmpty());
    QVERIFY(readScenarioData(m_disk, m_dir.path()).isEmpty());
}

QTEST_GUILESS_MAIN(TestScenarioReader)
#include "tst_scenarioreader.moc"
