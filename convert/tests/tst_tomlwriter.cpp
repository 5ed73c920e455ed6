#include "convert/tomllayout.h"
#include "convert/tomlvalue.h"
#include "convert/tomlwriter.h"
#include "filesystem/diskfilesystem.h"
#include "model/actordescription.h"
#include "testsupport/tomlparseback.h"
#include "testsupport/treefixture.h"

#include <QDir>
#include <QJsonArray>
#include <QJsonDocument>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(TomlTable)

namespace {

// JSON written with single quotes, which keeps the test tables readable.
QJsonObject json(const QByteArray &text)
{
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(QByteArray(text).replace('\'', '"'), &error);
    if (error.error != QJsonParseError::NoError)
        qWarning("bad test JSON: %s", qPrintable(error.errorString()));
    return document.object();
}

QString describe(const TomlValue &value)
{
    switch (value.type()) {
    case toml::value_t::empty:
        return QStringLiteral("empty");
    case toml::value_t::boolean:
        return value.as_boolean() ? QStringLiteral("true") : QStringLiteral("false");
    case toml::value_t::integer:
        return QStringLiteral("integer %1").arg(value.as_integer());
    case toml::value_t::floating:
        return QStringLiteral("float %1").arg(value.as_floating());
    case toml::value_t::string:
        return QStringLiteral("string ") + QString::fromStdString(value.as_string().str);
    case toml::value_t::array: {
        QStringList items;
        for (const TomlValue &item : value.as_array())
            items.append(describe(item));
        return QStringLiteral("[%1]").arg(items.join(QStringLiteral(", ")));
    }
    case toml::value_t::table: {
        QStringList items;
        for (const auto &member : value.as_table())
            items.append(
                QString::fromStdString(member.first) + QStringLiteral(": ") + describe(member.second));
        return QStringLiteral("{%1}").arg(items.join(QStringLiteral(", ")));
    }
    default:
        return QStringLiteral("other");
    }
}

using TomlParseBack::parseToml;

QByteArray crlf(QByteArray text)
{
    return text.replace("\n", "\r\n");
}

} // namespace

class TestTomlWriter : public QObject
{
    Q_OBJECT

    DiskFileSystem m_disk; // the tests' own seam

private slots:
    void init();
    void cleanup();

    void valueMapping_data();
    void valueMapping();
    void documentBytes_data();
    void documentBytes();
    void textSurvives_data();
    void textSurvives();
    void longTextSurvives_data();
    void longTextSurvives();
    void layout_data();
    void layout();
    void replacesWholeFile();
    void unwritableTargets_data();
    void unwritableTargets();
    void tablesNotWritten_data();
    void tablesNotWritten();
    void legacyDescriptionAsThroughJson_data();
    void legacyDescriptionAsThroughJson();

private:
    QTemporaryDir *m_dir = nullptr;
};

void TestTomlWriter::init()
{
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
}

void TestTomlWriter::cleanup()
{
    delete m_dir;
    m_dir = nullptr;
}

void TestTomlWriter::valueMapping_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<QString>("toml");

    QTest::newRow("boolean") << QByteArray("true") << "true";
    QTest::newRow("whole number") << QByteArray("180") << "integer 180";
    QTest::newRow("whole number written as float") << QByteArray("180.0") << "integer 180";
    QTest::newRow("negative whole number") << QByteArray("-42") << "integer -42";
    QTest::newRow("largest") << QByteArray("2147483647") << "integer 2147483647";
    QTest::newRow("smallest") << QByteArray("-2147483648") << "integer -2147483648";
    QTest::newRow("above 32 bits") << QByteArray("3000000000") << "integer -2147483648";
    QTest::newRow("just above 32 bits") << QByteArray("2147483648") << "integer -2147483648";
    QTest::newRow("below 32 bits") << QByteArray("-3000000000") << "integer -2147483648";
    QTest::newRow("huge") << QByteArray("1e300") << "integer -2147483648";
    QTest::newRow("fraction") << QByteArray("2.5") << "float 2.5";
    QTest::newRow("negative fraction") << QByteArray("-7.25") << "float -7.25";
    QTest::newRow("text") << QByteArray("'Zo\xc3\xab'") << "string Zo\u00eb";
    QTest::newRow("null") << QByteArray("null") << "empty";
    QTest::newRow("null left out of an array") << QByteArray("[1,null,'a']") << "[integer 1, string a]";
    QTest::newRow("null member left out") << QByteArray("{'a':null,'c':{},'b':1}") << "{b: integer 1, c: {}}";
}

void TestTomlWriter::valueMapping()
{
    QFETCH(QByteArray, value);
    QFETCH(QString, toml);
    const QJsonValue input = json("{'v':" + value + "}").value(QStringLiteral("v"));
    QVERIFY(input.type() != QJsonValue::Undefined);
    QCOMPARE(describe(jsonValueToToml(input)), toml);
}

void TestTomlWriter::documentBytes_data()
{
    QTest::addColumn<QJsonObject>("document");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("tiny emotes stay one inline array")
        << json("{'scenario':[{'display_icon':'1','sound_delay':0},{'display_icon':'2','sound_delay':0}]}")
        << crlf("\nscenario = [\n{display_icon=\"1\", sound_delay=0}, \n{display_icon=\"2\", sound_delay=0}, "
                "\n]\n\n");
    QTest::newRow("an emote with nothing set")
        << json("{'scenario':[{'sound_delay':0}]}") << crlf("\nscenario = [\n{sound_delay=0}, \n]\n\n");
    QTest::newRow("typical emotes get headers, each after an empty line")
        << json("{'scenario':[{'display_icon':'button1_off','display_name':'Hello, "
                "world','emote_anim_file':'-',"
                "'emote_file':'normal','actor_preset_name':'calm','sound_delay':180,"
                "'rules':{'play_anim':true,'mirror_h':true}},"
                "{'display_icon':'button2_off','display_name':'a,b','sound_file':'sfx','sound_delay':3}]}")
        << crlf("\n\n[[scenario]]\nactor_preset_name = \"calm\"\ndisplay_icon = \"button1_off\"\n"
                "display_name = \"Hello, world\"\nemote_anim_file = \"-\"\nemote_file = \"normal\"\n"
                "sound_delay = 180\nrules = {mirror_h=true, play_anim=true}\n\n"
                "[[scenario]]\ndisplay_icon = \"button2_off\"\ndisplay_name = \"a,b\"\n"
                "sound_delay = 3\nsound_file = \"sfx\"\n\n");
    QTest::newRow("wide rules get their own table")
        << json("{'scenario':[{'display_icon':'button1_off','display_name':'All of them','sound_delay':0,"
                "'rules':{'play_anim':true,'anim_is_movie':true,'back_is_zoom':true,'hide_dialog_emote':true,"
                "'play_flash':true,'mirror_h':true,'mirror_v':true}}]}")
        << crlf("\n\n[[scenario]]\ndisplay_icon = \"button1_off\"\ndisplay_name = \"All of them\"\n"
                "sound_delay = 0\n\n[scenario.rules]\nanim_is_movie = true\nback_is_zoom = true\n"
                "hide_dialog_emote = true\nmirror_h = true\nmirror_v = true\nplay_anim = true\n"
                "play_flash = true\n\n");
    QTest::newRow("quotes make a multi-line string, commas kept")
        << json("{'scenario':[{'display_icon':'button7_off','display_name':'Kit \\'the Bold\\', II',"
                "'emote_file':'normal','sound_delay':0}]}")
        << crlf("\n\n[[scenario]]\ndisplay_icon = \"button7_off\"\n"
                "display_name = \"\"\"Kit \"the Bold\", II\"\"\"\nemote_file = \"normal\"\nsound_delay = "
                "0\n\n");
    // A split text goes back on one line, the backslash that ends up at the
    // split included.
    QTest::newRow("long text with a backslash at the split")
        << json("{'scenario':[{'display_name':'" + QByteArray(62, 'N') + "\\\\tail','sound_delay':0}]}")
        << crlf(QByteArray("\n\n[[scenario]]\ndisplay_name = \"\"\"\n" + QByteArray(62, 'N')
               + "\\\\tail\"\"\"\nsound_delay = 0\n\n"));
}

void TestTomlWriter::documentBytes()
{
    QFETCH(QJsonObject, document);
    QFETCH(QByteArray, bytes);
    const QString path = m_dir->filePath(QStringLiteral("char.toml"));
    QCOMPARE(writeTomlFile(m_disk, document, path).text, QString());
    const QByteArray written = TreeFixture::readFile(path);
    QCOMPARE(written, bytes);
    QVERIFY(!written.startsWith("\xef\xbb\xbf"));
    QCOMPARE(written.count('\n'), written.count("\r\n"));
    QCOMPARE(parseToml(written), document);
}

// Texts with the characters the layout rules look at come back exactly.
void TestTomlWriter::textSurvives_data()
{
    QTest::addColumn<QString>("text");

    QTest::newRow("comma and space") << "Hello, world";
    QTest::newRow("bare comma") << "a,b";
    QTest::newRow("comma, then two spaces") << "a,  b";
    QTest::newRow("double quotes") << "Kit \"the Bold\", II";
    QTest::newRow("escaped quote before a comma") << "x\\\",y";
    QTest::newRow("ends in a quote") << "say \"a,b\"";
    QTest::newRow("three quotes") << "\"\"\",\"\"\"";
    QTest::newRow("backslash before the end") << "path\\,to\\";
    QTest::newRow("single quotes") << "it's, 'quoted'";
    QTest::newRow("brackets") << "[[scenario]], [x]";
    QTest::newRow("non-ASCII") << "Zo\u00eb, \u00dcn\u00efcode, \u732b";
    QTest::newRow("longer than a line")
        << "A long, long display name, with commas, \"quotes\" and more text, well past the width of eighty.";
    QTest::newRow("line break before a header-like line") << "first,\n[[scenario]]\nlast, \"q\"";
}

void TestTomlWriter::textSurvives()
{
    QFETCH(QString, text);
    QJsonObject emote{{QStringLiteral("display_name"), text}, {QStringLiteral("sound_delay"), 0}};
    emote.insert(QStringLiteral("emote_file"), QStringLiteral("an emote file name that makes the line wide"));
    const QJsonObject document{
        {QStringLiteral("scenario"), QJsonArray{emote, QJsonObject{{QStringLiteral("sound_delay"), 1}}}}};
    const QString path = m_dir->filePath(QStringLiteral("char.toml"));
    writeTomlFile(m_disk, document, path);
    const QByteArray written = TreeFixture::readFile(path);
    QVERIFY(!written.isEmpty());
    QCOMPARE(parseToml(written), document);
    QVERIFY2(written.contains("\r\n\r\n[[scenario]]\r\nsound_delay = 1\r\n"), written.constData());
}

// The library splits a text wider than the line into pieces joined by
// line-ending backslashes; a reader drops the blanks that start each piece, and
// the split counts bytes, not characters.
void TestTomlWriter::longTextSurvives_data()
{
    QTest::addColumn<QString>("text");

    for (int offset = 56; offset <= 72; ++offset)
        QTest::addRow("blank after %d characters", offset) << QString(offset, QLatin1Char('x'))
                + QStringLiteral("  the Bold, ") + QString(90, QLatin1Char('y'));
    QTest::newRow("blanks throughout") << QStringLiteral("Kit the Bold ").repeated(12);
    QTest::newRow("two-byte characters at an odd offset")
        << QStringLiteral("a") + QStringLiteral("\u00e9").repeated(90);
    QTest::newRow("three-byte characters") << QStringLiteral("ab") + QStringLiteral("\u732b, ").repeated(40);
    QTest::newRow("escapes near the split") << QStringLiteral("q\"\\\t").repeated(40);
    QTest::newRow("quotes and a line break") << QStringLiteral("Kit \"the Bold\", ").repeated(6) + "\nend \"";
    // The library may split a text between the two backslashes it writes for
    // one; a backslash that ends a line of the text gives the same bytes.
    for (int offset = 58; offset <= 66; ++offset)
        QTest::addRow("backslashes after %d characters", offset) << QString(offset, QLatin1Char('N'))
                + QStringLiteral("\\tail\\\\x\\") + QString(70, QLatin1Char('y'));
    QTest::newRow("backslash before a line break")
        << QString(62, QLatin1Char('N')) + QStringLiteral("\\\n\tail");
    QTest::newRow("control characters near the split")
        << QString(60, QLatin1Char('x')) + QStringLiteral("\x01\x1f\x7f\b\f\r").repeated(8);
}

void TestTomlWriter::longTextSurvives()
{
    QFETCH(QString, text);
    const QJsonObject document{{QStringLiteral("scenario"),
        QJsonArray{QJsonObject{{QStringLiteral("display_name"), text}, {QStringLiteral("sound_delay"), 0}}}}};
    const QString path = m_dir->filePath(QStringLiteral("char.toml"));
    writeTomlFile(m_disk, document, path);
    const QByteArray written = TreeFixture::readFile(path);
    QVERIFY(!written.isEmpty());
    QVERIFY2(QString::fromUtf8(written).toUtf8() == written, "the written bytes are not UTF-8");
    QCOMPARE(parseToml(written), document);
}

void TestTomlWriter::layout_data()
{
    QTest::addColumn<QByteArray>("formatted");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("separators gain a space")
        << QByteArray("a = {x=1,y=[1,2]}\n") << QByteArray("a = {x=1, y=[1, 2]}\r\n");
    QTest::newRow("every separator, even one with a space")
        << QByteArray("a = [1, 2]\n") << QByteArray("a = [1,  2]\r\n");
    QTest::newRow("basic string") << QByteArray("a = \"x,y\"\n") << QByteArray("a = \"x,y\"\r\n");
    QTest::newRow("escaped quote") << QByteArray("a = [\"q\\\",r\",1]\n")
                                   << QByteArray("a = [\"q\\\",r\", 1]\r\n");
    QTest::newRow("escaped backslash before the quote")
        << QByteArray("a = {s=\"b\\\\\",t=\"u,v\"}\n") << QByteArray("a = {s=\"b\\\\\", t=\"u,v\"}\r\n");
    QTest::newRow("literal string") << QByteArray("a = {s='c:\\',t='x,y'}\n")
                                    << QByteArray("a = {s='c:\\', t='x,y'}\r\n");
    QTest::newRow("quoted key") << QByteArray("\"a,b\" = {\"c,d\"=1,e=2}\n")
                                << QByteArray("\"a,b\" = {\"c,d\"=1, e=2}\r\n");
    QTest::newRow("multi-line basic string ending in quotes")
        << QByteArray("s = [\"\"\"a,\"b\"\"\"\"\",1]\n") << QByteArray("s = [\"\"\"a,\"b\"\"\"\"\", 1]\r\n");
    QTest::newRow("multi-line literal string")
        << QByteArray("s = ['''x,''y''''',1]\n") << QByteArray("s = ['''x,''y''''', 1]\r\n");
    QTest::newRow("headers after an empty line, none at the start")
        << QByteArray("[[s]]\nk=1\n[[s]]\nk=2\n\n[[t.u]]\n[[]]\n")
        << QByteArray("[[s]]\r\nk=1\r\n\r\n[[s]]\r\nk=2\r\n\r\n\r\n[[t.u]]\r\n[[]]\r\n");
    QTest::newRow("library's empty line counts as output")
        << QByteArray("\n[[s]]\n") << QByteArray("\r\n\r\n[[s]]\r\n");
    QTest::newRow("header-like text inside a string") << QByteArray(
        "s = \"\"\"\n[[x]],\n\"\"\"\n[[y]]\n") << QByteArray("s = \"\"\"\r\n[[x]],\n\"\"\"\r\n\r\n[[y]]\r\n");
    QTest::newRow("a long text split by the library is joined again")
        << QByteArray("s = \"\"\"\nab, \\\n cd\\\n\"\"\"\n") << QByteArray("s = \"\"\"\r\nab,  cd\"\"\"\r\n");
    QTest::newRow("a text with a line break keeps it")
        << QByteArray("s = \"\"\"\nab,\ncd\\\n\"\"\"\n") << QByteArray("s = \"\"\"\r\nab,\ncd\"\"\"\r\n");
    QTest::newRow("last line without a line end") << QByteArray("a = 1") << QByteArray("a = 1\r\n");
    QTest::newRow("nothing") << QByteArray() << QByteArray();
}

void TestTomlWriter::layout()
{
    QFETCH(QByteArray, formatted);
    QFETCH(QByteArray, bytes);
    QCOMPARE(layoutTomlText(formatted.toStdString()), bytes);
}

void TestTomlWriter::replacesWholeFile()
{
    const QString path = m_dir->filePath(QStringLiteral("char.toml"));
    QVERIFY(TreeFixture::writeFile(path, QByteArray(4096, 'x')));
    writeTomlFile(m_disk, json("{'scenario':[{'sound_delay':0}]}"), path);
    QCOMPARE(TreeFixture::readFile(path), crlf("\nscenario = [\n{sound_delay=0}, \n]\n\n"));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot),
        QStringList{"char.toml"});
}

void TestTomlWriter::unwritableTargets_data()
{
    QTest::addColumn<QString>("target");
    QTest::addColumn<QStringList>("entries");

    QTest::newRow("folder missing") << "missing/char.toml" << QStringList{};
    QTest::newRow("target is a folder") << "char.toml" << QStringList{"char.toml/", "char.toml/a=1"};
}

void TestTomlWriter::unwritableTargets()
{
    QFETCH(QString, target);
    QFETCH(QStringList, entries);
    QVERIFY(TreeFixture::build(m_dir->path(), entries));
    QVERIFY(
        !writeTomlFile(m_disk, json("{'scenario':[{'sound_delay':0}]}"), m_dir->filePath(target)).isEmpty());
    QCOMPARE(TreeFixture::describe(m_dir->path()), entries);
}

// Nothing is written when the library cannot make the text or the text would
// not read back; the reason comes back instead.
void TestTomlWriter::tablesNotWritten_data()
{
    QTest::addColumn<TomlTable>("table");
    QTest::addColumn<QString>("error");

    // Bytes that are not UTF-8 cannot stand in a TOML text.
    const TomlTable emote{{"display_name", TomlValue(std::string("Zo\xeb"))}};
    QTest::newRow("text not UTF-8") << TomlTable{{"scenario", TomlValue(TomlArray{TomlValue(emote)})}}
                                    << "the written text does not read back";
    // The library would loop for ever on this one.
    QTest::newRow("key of 75 characters") << TomlTable{{std::string(75, 'k'), TomlValue(std::string("\tx"))}}
                                          << "a key is too long for the TOML library";
}

void TestTomlWriter::tablesNotWritten()
{
    QFETCH(TomlTable, table);
    QFETCH(QString, error);
    FileError reason;
    QVERIFY(formatTomlDocument(table, &reason).isEmpty());
    QCOMPARE(reason.text, error);
    QCOMPARE(writeTomlText(m_disk, table, m_dir->filePath(QStringLiteral("char.toml"))).text, error);
    QCOMPARE(TreeFixture::describe(m_dir->path()), QStringList());
}

// The description is laid out straight from the legacy emotes; the bytes
// are those of the way through JSON and the current emote model.
void TestTomlWriter::legacyDescriptionAsThroughJson_data()
{
    QTest::addColumn<quint32>("seed");
    for (quint32 seed = 1; seed <= 4; ++seed)
        QTest::newRow(qPrintable(QStringLiteral("seed %1").arg(seed))) << seed;
}

void TestTomlWriter::legacyDescriptionAsThroughJson()
{
    QFETCH(quint32, seed);
    QRandomGenerator random(seed);
    const QStringList pieces{"", "a", "normal", "x y", "\"", "\\", "\n", "\t", "é", "日本",
        "\xf0\x9f\x98\x80", "#", "=", "'''", QString(QChar(0xd800)), QString(QChar(0)),
        QString(90, QLatin1Char('w'))};
    const auto text = [&] {
        QString result;
        for (int n = random.bounded(4); n > 0; --n)
            result += pieces.at(random.bounded(pieces.size()));
        return result;
    };
    const qint32 delays[] = {0, 1, -1, 60, 2147483647, -2147483647 - 1};
    for (int round = 0; round < 100; ++round) {
        QList<CsActor::LegacyEmote> emotes;
        for (int n = random.bounded(1, 5); n > 0; --n) {
            CsActor::LegacyEmote emote;
            emote.display_icon = text();
            emote.display_name = text();
            emote.actor_preset_name = text();
            emote.emote_file = text();
            emote.emote_anim_file = text();
            emote.sound_file = text();
            emote.sound_delay = delays[random.bounded(6)];
            emote.rules = CsActor::LegacyEmoteRules::fromMask(int(random.bounded(512)));
            emotes.append(emote);
        }
        QJsonArray scenario;
        for (const CsActor::LegacyEmote &emote : emotes)
            scenario.append(emote.toJson());
        CsActor::ActorDescription description;
        description.readJson({{QStringLiteral("scenario"), scenario}});
        FileError throughJsonError;
        const QByteArray throughJson
            = formatTomlDocument(jsonObjectToToml(description.toJson()), &throughJsonError);
        FileError error;
        QCOMPARE(formatLegacyDescription(emotes, &error), throughJson);
        QCOMPARE(error.text, throughJsonError.text);
    }
}

QTEST_GUILESS_MAIN(TestTomlWriter)
#include "tst_tomlwriter.moc"
