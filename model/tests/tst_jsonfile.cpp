#include "filesystem/diskfilesystem.h"
#include "model/jsonfile.h"
#include "model/jsonobjectbuilder.h"
#include "testsupport/treefixture.h"

#include <QFile>
#include <QJsonDocument>
#include <QTemporaryDir>
#include <QtTest>

using TreeFixture::readFile;
using TreeFixture::writeFile;

class TestJsonFile : public QObject
{
    Q_OBJECT

    DiskFileSystem m_disk; // the tests' own seam

private slots:
    void read_data();
    void read();
    void write_data();
    void write();
    void binaryRoundTrip();
    void failedWriteKeepsTheOldFile();
    void insertIfSet_data();
    void insertIfSet();
    void buildersShareUntilChanged();
    void collectScenarioData_data();
    void collectScenarioData();
};

void TestJsonFile::read_data()
{
    QTest::addColumn<QByteArray>("content"); // "-" for no file
    QTest::addColumn<QByteArray>("expected"); // compact JSON of the value read

    QTest::newRow("missing file") << QByteArray("-") << QByteArray("{}");
    QTest::newRow("object") << QByteArray("{ \"a\": 1 }") << QByteArray("{\"a\":1}");
    QTest::newRow("array") << QByteArray("[1,2]") << QByteArray("[1,2]");
    QTest::newRow("malformed") << QByteArray("{\"a\":") << QByteArray("{}");
    QTest::newRow("empty file") << QByteArray("") << QByteArray("{}");
}

void TestJsonFile::read()
{
    QFETCH(QByteArray, content);
    QFETCH(QByteArray, expected);
    QTemporaryDir dir;
    const QString path = dir.filePath("f.json");
    if (content != "-")
        QVERIFY(writeFile(path, content));
    const QJsonValue value = readJsonFile(m_disk, path, JsonFileOptions::Text);
    QVERIFY(value.isArray() || value.isObject());
    const QJsonDocument document
        = value.isArray() ? QJsonDocument(value.toArray()) : QJsonDocument(value.toObject());
    QCOMPARE(document.toJson(QJsonDocument::Compact), expected);
}

void TestJsonFile::write_data()
{
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<int>("options");
    QTest::addColumn<QByteArray>("bytes");

    QTest::newRow("empty object, compact")
        << QJsonValue(QJsonObject()) << int(JsonFileOptions::Text) << QByteArray("{}");
    QTest::newRow("keys in ascending order")
        << QJsonValue(QJsonObject{{"b", 1}, {"a", "x"}}) << int(JsonFileOptions::Text)
        << QByteArray("{\"a\":\"x\",\"b\":1}");
    QTest::newRow("array") << QJsonValue(QJsonArray{1, true}) << int(JsonFileOptions::Text)
                           << QByteArray("[1,true]");
    QTest::newRow("other values as an empty object")
        << QJsonValue(5) << int(JsonFileOptions::Text) << QByteArray("{}");
    QTest::newRow("indented") << QJsonValue(QJsonObject{{"a", 1}})
                              << int(JsonFileOptions::Text | JsonFileOptions::Indented)
                              << QByteArray("{\n    \"a\": 1\n}\n");
    QTest::newRow("unknown bits ignored")
        << QJsonValue(QJsonObject{{"a", 1}}) << int(JsonFileOptions::Text | 8) << QByteArray("{\"a\":1}");
}

void TestJsonFile::write()
{
    QFETCH(QJsonValue, value);
    QFETCH(int, options);
    QTemporaryDir dir;
    const QString path = dir.filePath("deep/er/f.json"); // folders are created
    QVERIFY(writeFile(path + "x", "other"));
    writeJsonFile(m_disk, value, path, options);
    QTEST(readFile(path), "bytes");

    // Replacing an existing file replaces it whole.
    writeJsonFile(m_disk, QJsonObject(), path, JsonFileOptions::Text);
    QCOMPARE(readFile(path), QByteArray("{}"));
    QCOMPARE(readFile(path + "x"), QByteArray("other"));
}

void TestJsonFile::binaryRoundTrip()
{
    QTemporaryDir dir;
    const QString path = dir.filePath("f.bin");
    const QJsonObject object{{"name", "Mira"}, {"n", 3}};
    writeJsonFile(m_disk, object, path, 0);
    QVERIFY(!readFile(path).startsWith('{'));
    QCOMPARE(readJsonFile(m_disk, path, 0).toObject(), object);
    // Text is not binary JSON: read as binary it is an empty object.
    QVERIFY(writeFile(path, "{\"a\":1}"));
    QCOMPARE(readJsonFile(m_disk, path, 0).toObject(), QJsonObject());
}

void TestJsonFile::failedWriteKeepsTheOldFile()
{
    QTemporaryDir dir;
    // The target is a folder: nothing can be written there, and nothing is lost.
    QVERIFY(TreeFixture::build(dir.path(), {"actor.json/keep=1"}));
    writeJsonFile(m_disk, QJsonObject{{"a", 1}}, dir.filePath("actor.json"), JsonFileOptions::Text);
    QCOMPARE(TreeFixture::describe(dir.path()), (QStringList{"actor.json/", "actor.json/keep=1"}));

    // A folder that cannot be created: no file and no stray temporary file.
    QVERIFY(writeFile(dir.filePath("plain"), "p"));
    writeJsonFile(m_disk, QJsonObject{{"a", 1}}, dir.filePath("plain/sub/actor.json"), JsonFileOptions::Text);
    QCOMPARE(TreeFixture::describe(dir.path()), (QStringList{"actor.json/", "actor.json/keep=1", "plain=p"}));
}

void TestJsonFile::insertIfSet_data()
{
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<bool>("inserted");

    QTest::newRow("false") << QJsonValue(false) << false;
    QTest::newRow("true") << QJsonValue(true) << true;
    QTest::newRow("empty text") << QJsonValue("") << false;
    QTest::newRow("text") << QJsonValue("x") << true;
    QTest::newRow("empty array") << QJsonValue(QJsonArray()) << false;
    QTest::newRow("array") << QJsonValue(QJsonArray{0}) << true;
    QTest::newRow("empty object") << QJsonValue(QJsonObject()) << false;
    QTest::newRow("object") << QJsonValue(QJsonObject{{"a", false}}) << true;
    QTest::newRow("zero") << QJsonValue(0) << true;
    QTest::newRow("null") << QJsonValue(QJsonValue::Null) << true;
}

void TestJsonFile::insertIfSet()
{
    QFETCH(QJsonValue, value);
    QFETCH(bool, inserted);
    JsonObjectBuilder builder;
    ::insertIfSet(builder, "k", value);
    QCOMPARE(builder.object().contains("k"), inserted);
    if (inserted)
        QCOMPARE(builder.object().value("k"), value);

    // An earlier value is replaced only when the new one is inserted.
    JsonObjectBuilder replacing;
    replacing.insert("k", "old");
    ::insertIfSet(replacing, "k", value);
    QCOMPARE(replacing.object().value("k"), inserted ? value : QJsonValue("old"));
}

void TestJsonFile::buildersShareUntilChanged()
{
    JsonObjectBuilder first;
    first.insert("a", 1);
    JsonObjectBuilder second = first;
    second.insert("b", 2);
    QCOMPARE(first.object(), (QJsonObject{{"a", 1}}));
    QCOMPARE(second.object(), (QJsonObject{{"a", 1}, {"b", 2}}));
    first = second;
    first.insert("c", 3);
    QCOMPARE(second.object().size(), 2);
}

void TestJsonFile::collectScenarioData_data()
{
    QTest::addColumn<QJsonObject>("entry");
    QTest::addColumn<bool>("appended");

    const QJsonObject data{{"emote_file", "normal"}};
    QTest::newRow("scenario") << QJsonObject{{"name", "scenario"}, {"data", data}} << true;
    QTest::newRow("other case") << QJsonObject{{"name", "Scenario"}, {"data", data}} << false;
    QTest::newRow("empty data") << QJsonObject{{"name", "scenario"}, {"data", QJsonObject()}} << false;
    QTest::newRow("data not an object") << QJsonObject{{"name", "scenario"}, {"data", 1}} << false;
    QTest::newRow("no name") << QJsonObject{{"data", data}} << false;
}

void TestJsonFile::collectScenarioData()
{
    QFETCH(QJsonObject, entry);
    QFETCH(bool, appended);
    QJsonArray list{QJsonObject{{"first", 1}}};
    ::collectScenarioData(list, entry);
    QCOMPARE(list.size(), appended ? 2 : 1);
    if (appended)
        QCOMPARE(list.at(1).toObject(), entry.value("data").toObject());
}

QTEST_GUILESS_MAIN(TestJsonFile)
#include "tst_jsonfile.moc"
