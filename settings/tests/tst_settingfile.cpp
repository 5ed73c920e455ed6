#include "settings/legacytext.h"
#include "settings/settingfile.h"
#include "settings/utf8ini.h"
#include "testsupport/treefixture.h"

#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

namespace {

using GsSetting::SettingFile;
using GsSetting::SettingSection;

QStringList keys(const SettingSection &section)
{
    QStringList result;
    for (const GsSetting::SettingEntry &entry : section.entries)
        result.append(entry.first);
    return result;
}

} // namespace

class TestSettingFile : public QObject
{
    Q_OBJECT

private slots:
    void keyOrder_data();
    void keyOrder();
    void caseFolding_data();
    void caseFolding();
    void sectionLookupIsExact();
    void missingFileLeavesTopLevel();
    void reloadReplacesEverything();
    void values_data();
    void values();
    void decoding_data();
    void decoding();
    void nonAsciiNames_data();
    void nonAsciiNames();
    void utf8Copy_data();
    void utf8Copy();

private:
    QTemporaryDir m_dir;
};

void TestSettingFile::keyOrder_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QStringList>("keys");

    QTest::newRow("numbered first, in numeric order") << QByteArray("[Emotions]\nnumber=3\n1=a\n2=b\n10=c\n")
                                                      << "emotions" << QStringList{"1", "2", "10", "number"};
    // QSettings lists a group's keys by name; the sort keeps that order.
    QTest::newRow("named keys after the numbered ones")
        << QByteArray("[S]\nzeta=1\n10=x\nalpha=2\n2=y\n-1=z\n+3=w\n") << "s"
        << QStringList{"-1", "2", "+3", "10", "alpha", "zeta"};
    QTest::newRow("sub-group one level down")
        << QByteArray("[S]\nA/B=1\nk=2\nA/c/d=3\n") << "s" << QStringList{"k", "A/b"};
    QTest::newRow("top level sees every section's keys") << QByteArray("top=0\n[Options]\nName=x\n[b]\n1=y\n")
                                                         << "" << QStringList{"top", "Options/name", "b/1"};
    QTest::newRow("General is the top level") << QByteArray("[General]\nKey=1\n") << "" << QStringList{"key"};
    QTest::newRow("lines without a name left out")
        << QByteArray("[S]\n=x\nk=1\nA/=y\n") << "s" << QStringList{"k"};
}

void TestSettingFile::keyOrder()
{
    QFETCH(QByteArray, ini);
    QFETCH(QString, section);
    QFETCH(QStringList, keys);
    const QString path = m_dir.filePath(QStringLiteral("order_%1.ini").arg(QTest::currentDataTag()));
    QVERIFY(TreeFixture::writeFile(path, ini));

    SettingFile file;
    file.setFileName(path);
    QVERIFY(file.sections().contains(section));
    QCOMPARE(::keys(file.section(section)), keys);
    QCOMPARE(file.section(section).name, section);
}

void TestSettingFile::caseFolding_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("sections");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");

    QTest::newRow("section and key lower-cased")
        << QByteArray("[OPTIONS]\nShowName=Kit\n") << QStringList{"", "options"} << "showname"
        << "Kit";
    QTest::newRow("sections differing in case share one name, later one wins")
        << QByteArray("[opt]\nk=lower\n[OPT]\nk=upper\n") << QStringList{"", "opt"} << "k"
        << "lower";
}

void TestSettingFile::caseFolding()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, sections);
    QFETCH(QString, key);
    QFETCH(QString, value);
    const QString path = m_dir.filePath(QStringLiteral("case_%1.ini").arg(QTest::currentDataTag()));
    QVERIFY(TreeFixture::writeFile(path, ini));

    SettingFile file;
    file.setFileName(path);
    QCOMPARE(file.sections().keys(), sections);
    QCOMPARE(file.section(sections.last()).value(key).toString(), value);
}

void TestSettingFile::sectionLookupIsExact()
{
    const QString path = m_dir.filePath(QStringLiteral("exact.ini"));
    QVERIFY(TreeFixture::writeFile(path, "[Options]\nName=x\n"));
    SettingFile file;
    file.setFileName(path);
    QCOMPARE(file.section(QStringLiteral("options")).value(QStringLiteral("name")), QVariant("x"));
    QVERIFY(file.section(QStringLiteral("Options")).entries.isEmpty());
    QVERIFY(file.section(QStringLiteral("Options")).name.isEmpty());
    QVERIFY(!file.section(QStringLiteral("options")).contains(QStringLiteral("Name")));
}

void TestSettingFile::missingFileLeavesTopLevel()
{
    SettingFile file;
    QVERIFY(file.sections().isEmpty());
    QSignalSpy spy(&file, &SettingFile::updated);
    file.setFileName(m_dir.filePath(QStringLiteral("absent.ini")));
    QCOMPARE(spy.count(), 1);
    QCOMPARE(file.sections().keys(), QStringList{QString()});
    QVERIFY(file.section(QString()).entries.isEmpty());
    QVERIFY(!QFileInfo::exists(file.fileName()));
}

void TestSettingFile::reloadReplacesEverything()
{
    const QString path = m_dir.filePath(QStringLiteral("reload.ini"));
    QVERIFY(TreeFixture::writeFile(path, "[a]\nk=1\n"));
    SettingFile file;
    QSignalSpy spy(&file, &SettingFile::updated);
    file.setFileName(path);
    QVERIFY(TreeFixture::writeFile(path, "[bb]\nkey=22\n"));
    file.fromFile();
    QCOMPARE(spy.count(), 2);
    QCOMPARE(file.sections().keys(), (QStringList{"", "bb"}));
    QCOMPARE(file.section(QStringLiteral("bb")).value(QStringLiteral("key")), QVariant("22"));
    QCOMPARE(TreeFixture::readFile(path), QByteArray("[bb]\nkey=22\n")); // never written back
}

void TestSettingFile::values_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QVariant>("value");

    // Decoding: valid UTF-8 is read as UTF-8, anything else as QSettings reads it.
    QTest::newRow("UTF-8 without a mark") << QByteArray("[o]\nv=Zo\xc3\xab\n") << QVariant("Zo\u00eb");
    QTest::newRow("UTF-8 with a mark")
        << QByteArray("\xef\xbb\xbf[o]\nv=Zo\xc3\xab\n") << QVariant("Zo\u00eb");
    QTest::newRow("Latin-1") << QByteArray("[o]\nv=Zo\xeb\n") << QVariant("Zo\u00eb");
    QTest::newRow("cut-off UTF-8 sequence at the end")
        << QByteArray("[o]\nv=Zo\xc3\xab\n;\xc3") << QVariant("Zo\u00c3\u00ab");
    // Values as QSettings gives them: an unquoted comma makes a list.
    QTest::newRow("comma gives a list")
        << QByteArray("[o]\nv=Kit, the Bold\n") << QVariant(QStringList{"Kit", "the Bold"});
    QTest::newRow("quoted comma stays text")
        << QByteArray("[o]\nv=\"Kit, the Bold\"\n") << QVariant("Kit, the Bold");
    // Qt 6 reads every byte as UTF-8; the reader gives what Qt 5 gives all the same.
    QTest::newRow("Latin-1 in a list")
        << QByteArray("[o]\nv=Zo\xeb, K\xeet\n") << QVariant(QStringList{"Zo\u00eb", "K\u00eet"});
    QTest::newRow("UTF-8 in a quoted list") << QByteArray("[o]\nv=\"Zo\xc3\xab, a\",\xe7\x8c\xab\n")
                                            << QVariant(QStringList{"Zo\u00eb, a", "\u732b"});
    QTest::newRow("mark, then a value that is not UTF-8")
        << QByteArray("\xef\xbb\xbf[o]\nv=Zo\xeb\n") << QVariant("Zo\ufffd");
    QTest::newRow("mark, then bytes that are not UTF-8 inside a value")
        << QByteArray("\xef\xbb\xbf[o]\nv=\xe7\x8c!\xeb\xc3\xab\n") << QVariant("\ufffd\ufffd!\ufffd\u00eb");
    QTest::newRow("escapes in a UTF-8 file")
        << QByteArray("[o]\nv=\\xe9 \\x732b Zo\xc3\xab\\t\n") << QVariant("\u00e9 \u732b Zo\u00eb\t");
    QTest::newRow("escapes in a Latin-1 file")
        << QByteArray("[o]\nv=\\xe9 \\x732b Zo\xeb\n") << QVariant("\u00e9 \u732b Zo\u00eb");
    QTest::newRow("line continued, Latin-1") << QByteArray("[o]\nv=Zo\\\n\xeb\n") << QVariant("Zo\u00eb");
    QTest::newRow("backslash before a non-ASCII byte skips it") << QByteArray("[o]\nv=a\\\xeb"
                                                                              "b \xe7\\\x8c\xab\n")
                                                                << QVariant("ab \u00e7\u00ab");
    QTest::newRow("mark, then a backslash before a non-ASCII byte")
        << QByteArray("\xef\xbb\xbf[o]\nv=a\\\xc3\xab \xe7\x8c\\\xab\n") << QVariant("a\ufffd \ufffd\ufffd");
    QTest::newRow("equals sign in a quoted value")
        << QByteArray("[o]\nv=\"a=Zo\xc3\xab\"\n") << QVariant("a=Zo\u00eb");
    // Rebuilt with QDataStream, these would ask for memory without end.
    const QByteArray endless("Variant(\\0\\0\\0\\t\x1c\x1c\\0\\0nt(\\0\\0\\0\\0\\0\\x1\\0\\1\\0\\x2)");
    QTest::newRow("a serialized value") << QByteArray("[o]\nv=@" + endless + "\nw=1\n") << QVariant("");
    QTest::newRow("a serialized value spelled with escapes")
        << QByteArray("[o]\nv=\"\\x40" + endless + "\"\n") << QVariant("");
    QTest::newRow("a serialized value in a list")
        << QByteArray("[o]\nv=a, \\100" + endless + "\n") << QVariant("");
    QTest::newRow("the word in text") << QByteArray("[o]\nv=a Variant(b)\n") << QVariant("a Variant(b)");
}

void TestSettingFile::values()
{
    QFETCH(QByteArray, ini);
    QFETCH(QVariant, value);
    const QString path = m_dir.filePath(QStringLiteral("value_%1.ini").arg(QTest::currentDataTag()));
    QVERIFY(TreeFixture::writeFile(path, ini));
    SettingFile file;
    file.setFileName(path);
    QCOMPARE(file.section(QStringLiteral("o")).value(QStringLiteral("v")), value);
}

void TestSettingFile::decoding_data()
{
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");

    QTest::newRow("ASCII") << QByteArray("a=b") << "a=b";
    QTest::newRow("UTF-8") << QByteArray("Zo\xc3\xab \xe7\x8c\xab") << "Zo\u00eb \u732b";
    QTest::newRow("mark dropped") << QByteArray("\xef\xbb\xbfZo\xc3\xab") << "Zo\u00eb";
    QTest::newRow("Latin-1") << QByteArray("Zo\xeb") << "Zo\u00eb";
    QTest::newRow("overlong sequence") << QByteArray("\xc0\xaf") << "\u00c0\u00af";
    QTest::newRow("cut off") << QByteArray("ab\xe7\x8c") << "ab\u00e7\u008c";
    QTest::newRow("nothing") << QByteArray() << "";
    QTest::newRow("NUL kept in UTF-8")
        << QByteArrayLiteral("a\0Zo\xc3\xab") << QStringLiteral("a\u0000Zo\u00eb");
    QTest::newRow("NUL kept in Latin-1")
        << QByteArrayLiteral("a\0Zo\xeb") << QStringLiteral("a\u0000Zo\u00eb");
    QTest::newRow("mark, then bytes that are not UTF-8")
        << QByteArray("\xef\xbb\xbf[s]\nZo\xeb") << QStringLiteral("[s]\nZo\ufffd");
}

void TestSettingFile::decoding()
{
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(LegacyText::decode(bytes), text);
}

// Qt 5 reads the names of an INI file as Latin-1 whatever the codec; a file
// taken as UTF-8 must give its names in UTF-8 too, or an emotion key "Zoë"
// names an icon that is never found.
void TestSettingFile::nonAsciiNames_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<QStringList>("sections");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QStringList>("keys");

    QTest::newRow("UTF-8 key") << QByteArray("[Emotions]\nZo\xc3\xab=Zo\xc3\xab#-#normal\n")
                               << QStringList{"", "emotions"} << "emotions" << QStringList{"zo\u00eb"};
    QTest::newRow("UTF-8 key with a mark") << QByteArray("\xef\xbb\xbf[E]\n\xe7\x8c\xab=1\n")
                                           << QStringList{"", "e"} << "e" << QStringList{"\u732b"};
    QTest::newRow("UTF-8 section name, capitals folded after decoding") << QByteArray(
        "[\xc3\x9c"
        "BER]\nK=1\n") << QStringList{"", "\u00fcber"} << "\u00fcber" << QStringList{"k"};
    QTest::newRow("top level names the section as written")
        << QByteArray("[Zo\xc3\xab]\nK=1\n") << QStringList{"", "zo\u00eb"} << ""
        << QStringList{"Zo\u00eb/k"};
    QTest::newRow("UTF-8 sub-group") << QByteArray("[S]\nZo\xc3\xab/A=1\n") << QStringList{"", "s"} << "s"
                                     << QStringList{"Zo\u00eb/a"};
    QTest::newRow("mark, then bytes that are not UTF-8")
        << QByteArray("\xef\xbb\xbf[E]\nZo\xc3\xab=\xeb\n") << QStringList{"", "e"} << "e"
        << QStringList{"zo\u00eb"};
    QTest::newRow("Latin-1 file keeps Latin-1 names")
        << QByteArray("[Emotions]\nZo\xeb=x\n") << QStringList{"", "emotions"} << "emotions"
        << QStringList{"zo\u00eb"};
    QTest::newRow("escaped Latin-1 name in a UTF-8 file")
        << QByteArray("[S]\nZo%EB=x\n") << QStringList{"", "s"} << "s" << QStringList{"zo\u00eb"};
    // Names as Qt 5 gives them, whichever Qt reads them.
    QTest::newRow("escaped UTF-8 name")
        << QByteArray("[S]\nZo%C3%AB=x\n") << QStringList{"", "s"} << "s" << QStringList{"zo\u00eb"};
    QTest::newRow("escaped UTF-16 name")
        << QByteArray("[S]\nk%U732B=x\n") << QStringList{"", "s"} << "s" << QStringList{"k\u732b"};
    QTest::newRow("UTF-8 written twice over") << QByteArray("[S]\n\xc3\x83\xc2\xab=x\n")
                                              << QStringList{"", "s"} << "s" << QStringList{"\u00e3\u00ab"};
    QTest::newRow("raw and escaped UTF-8 in one name")
        << QByteArray("[S]\n\xc3\xab%C3%AB=x\n") << QStringList{"", "s"} << "s"
        << QStringList{"\u00eb\u00eb"};
    QTest::newRow("Latin-1 section name")
        << QByteArray("[Zo\xeb]\nK=1\n") << QStringList{"", "zo\u00eb"} << "zo\u00eb" << QStringList{"k"};
    QTest::newRow("mark, then a Latin-1 name") << QByteArray("\xef\xbb\xbf[E]\nZo\xeb=1\n")
                                               << QStringList{"", "e"} << "e" << QStringList{"zo\u00eb"};
    QTest::newRow("UTF-8 section name with an escape and text after it")
        << QByteArray("[Zo\xc3\xab%21] x\xc3\xab\nK=1\n") << QStringList{"", "zo\u00eb!"} << "zo\u00eb!"
        << QStringList{"k"};
    QTest::newRow("line break escaped in a name")
        << QByteArray("[S]\nk\\\n=1\nZo\xeb\\\r\n=2\n") << QStringList{"", "s"} << "s"
        << QStringList{"Zo\u00eb/\r\n", "k/\n"};
    QTest::newRow("white space in an escape's digits") << QByteArray(
        "[S]\nk%\x0b"
        "B=1\n") << QStringList{"", "s"} << "s" << QStringList{"k\u000b"};
    // Qt 5 reads the keys before the first section from the file's first byte.
    QTest::newRow("mark, then a first key that is not UTF-8") << QByteArray(
        "\xef\xbb\xbfZo\xeb=1\n") << QStringList{""} << "" << QStringList{"\u00ef\u00bb\u00bfzo\u00eb"};
    QTest::newRow("comment and a quoted equals sign before the name's end")
        << QByteArray("; Zo\xc3\xab\n[S]\n\"Zo\xc3\xab=1\"=2\n") << QStringList{"", "s"} << "s"
        << QStringList{"\"zo\u00eb=1\""};
}

void TestSettingFile::nonAsciiNames()
{
    QFETCH(QByteArray, ini);
    QFETCH(QStringList, sections);
    QFETCH(QString, section);
    QFETCH(QStringList, keys);
    const QString path = m_dir.filePath(QStringLiteral("names_%1.ini").arg(QTest::currentDataTag()));
    QVERIFY(TreeFixture::writeFile(path, ini));

    SettingFile file;
    file.setFileName(path);
    QCOMPARE(file.sections().keys(), sections);
    QCOMPARE(::keys(file.section(section)), keys);
}

// The copy Qt 6 reads in place of the file.
void TestSettingFile::utf8Copy_data()
{
    QTest::addColumn<QByteArray>("ini");
    QTest::addColumn<bool>("utf8");
    QTest::addColumn<QByteArray>("copy");

    QTest::newRow("ASCII unchanged") << QByteArray("[S]\nk=\"a,b\"\\x41;c\n") << true
                                     << QByteArray("[S]\nk=\"a,b\"\\x41;c\n");
    QTest::newRow("UTF-8 names escaped, values kept")
        << QByteArray("[Zo\xc3\xab]\nZo\xc3\xab=Zo\xc3\xab\n") << true
        << QByteArray("[Zo%C3%AB]\nZo%C3%AB=Zo\xc3\xab\n");
    QTest::newRow("Latin-1 names escaped, values in UTF-8")
        << QByteArray("[Zo\xeb]\nZo\xeb=Zo\xeb\n; \xeb\n") << false
        << QByteArray("[Zo%EB]\nZo%EB=Zo\xc3\xab\n; \xc3\xab\n");
    QTest::newRow("mark dropped, bytes that are not UTF-8 replaced")
        << QByteArray("\xef\xbb\xbf[S]\nk=Zo\xeb\n") << true << QByteArray("[S]\nk=Zo\xef\xbf\xbd\n");
    QTest::newRow("mark kept in a first key's name")
        << QByteArray("\xef\xbb\xbf\tk=1\n") << true << QByteArray("%EF%BB%BF\tk=1\n");
    QTest::newRow("no mark in a name after a line break")
        << QByteArray("\xef\xbb\xbf\nk=1\n") << true << QByteArray("\nk=1\n");
    QTest::newRow("section name trimmed before escaping")
        << QByteArray("[ \xeb\\\nb\n ] x\n") << false << QByteArray("[ %EB\\%0Ab\n ] x\n");
    QTest::newRow("equals sign in quotes or after a backslash is the name's")
        << QByteArray("\"\xeb=\"\\=\xeb=\xeb\n") << false << QByteArray("\"%EB=\"\\=%EB=\xc3\xab\n");
    QTest::newRow("value continued on the next line")
        << QByteArray("k=\xeb\\\n\xeb=\n") << false << QByteArray("k=\xc3\xab\\\n\xc3\xab=\n");
    QTest::newRow("non-ASCII byte after a backslash")
        << QByteArray("k=a\\\xeb\xeb\\\\\n") << false << QByteArray("k=a\\z\xc3\xab\\\\\n");
    QTest::newRow("escape digits with white space")
        << QByteArray("k%\vB%U\f\f41=1\n") << false << QByteArray("k%U000B%U0041=1\n");
}

void TestSettingFile::utf8Copy()
{
    QFETCH(QByteArray, ini);
    QFETCH(bool, utf8);
    QFETCH(QByteArray, copy);
    QCOMPARE(GsSetting::utf8Ini(ini, utf8), copy);
}

QTEST_GUILESS_MAIN(TestSettingFile)
#include "tst_settingfile.moc"
