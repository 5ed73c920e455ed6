#include "filesystem/diskfilesystem.h"
#include "model/actordata.h"
#include "testsupport/treefixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString file = QStringLiteral("base/characters/Mira/data/actor.json");

} // namespace

class TestActorData : public QObject
{
    Q_OBJECT

    DiskFileSystem m_disk; // the tests' own seam

private slots:
    void init();
    void cleanup();
    void load_data();
    void load();
    void missingFileSavesDefaults();
    void presetNamesAreLowerCase();
    void setPreset();
    void presetsShareUntilChanged();
    void presetRead_data();
    void presetRead();

private:
    QTemporaryDir *m_dir = nullptr;
    QString m_previous;
};

void TestActorData::init()
{
    m_previous = QDir::currentPath();
    m_dir = new QTemporaryDir;
    QVERIFY(QDir::setCurrent(m_dir->path()));
    QVERIFY(QDir().mkpath("base/characters/Mira"));
}

void TestActorData::cleanup()
{
    QDir::setCurrent(m_previous);
    delete m_dir;
}

// A file loaded and saved again: what the record holds shows in what it writes.
void TestActorData::load_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QByteArray>("saved");

    QTest::newRow("full")
        << QByteArray(
               R"({"chatbox_name":"modern","position_name":"wit","presets":[{"display_name":"Guard","rules":{"uppercase":true}},{"blip_file":"male","name":"calm"}],"shout_name":"default"})")
        << QByteArray(
               R"({"chatbox_name":"modern","position_name":"wit","presets":[{"display_name":"Guard","rules":{"uppercase":true}},{"blip_file":"male","name":"calm"}],"shout_name":"default"})");
    QTest::newRow("presets not an array")
        << QByteArray(R"({"presets":"x","shout_name":"loud"})")
        << QByteArray(R"({"presets":[{"display_name":"Mira"}],"shout_name":"loud"})");
    QTest::newRow("empty presets") << QByteArray(
        R"({"presets":[]})") << QByteArray(R"({"presets":[{"display_name":"Mira"}],"shout_name":"default"})");
    QTest::newRow("empty shout name is kept, then left out")
        << QByteArray(R"({"shout_name":""})") << QByteArray(R"({"presets":[{"display_name":"Mira"}]})");
    QTest::newRow("wrong types fall back")
        << QByteArray(R"({"shout_name":1,"chatbox_name":true,"presets":[5,{"name":3}]})")
        << QByteArray(R"({"presets":[{}],"shout_name":"default"})");
    QTest::newRow("only true counts as a rule")
        << QByteArray(R"({"presets":[{"rules":{"blip_once":1,"uppercase":true}}]})")
        << QByteArray(R"({"presets":[{"rules":{"uppercase":true}}],"shout_name":"default"})");
    QTest::newRow("same name twice merges into the first place")
        << QByteArray(
               R"({"presets":[{"name":"Calm","blip_file":"a"},{"name":"x"},{"name":"CALM","color_name":"red"}]})")
        << QByteArray(
               R"({"presets":[{"color_name":"red","name":"calm"},{"name":"x"}],"shout_name":"default"})");
    QTest::newRow("array file") << QByteArray(
        "[1,2]") << QByteArray(R"({"presets":[{"display_name":"Mira"}],"shout_name":"default"})");
    QTest::newRow("malformed") << QByteArray(
        "{") << QByteArray(R"({"presets":[{"display_name":"Mira"}],"shout_name":"default"})");
}

void TestActorData::load()
{
    QFETCH(QByteArray, content);
    QVERIFY(TreeFixture::writeFile(file, content));
    const CsActor::ActorData data({m_disk, m_dir->path()}, "Mira");
    QVERIFY(!data.presets.isEmpty());
    data.save(m_disk, m_dir->path());
    QTEST(TreeFixture::readFile(file), "saved");
}

void TestActorData::missingFileSavesDefaults()
{
    CsActor::ActorData data({m_disk, m_dir->path()}, "Mira");
    QCOMPARE(data.shout_name, QString("default"));
    QVERIFY(data.chatbox_name.isEmpty());
    QCOMPARE(data.presets.size(), 1);
    QCOMPARE(data.presets.first().name(), QString("default"));
    QCOMPARE(data.presets.first().displayName(), QString("Mira"));
    QVERIFY(!QFile::exists(file)); // loading writes nothing

    data.save(m_disk, m_dir->path());
    QCOMPARE(TreeFixture::readFile(file),
        QByteArray(R"({"presets":[{"display_name":"Mira"}],"shout_name":"default"})"));

    // Two presets of one name, appended directly, are both written; loading keeps the second's values.
    CsActor::ActorPreset legacy;
    legacy.setBlipFile("female");
    data.presets.append(legacy);
    data.save(m_disk, m_dir->path());
    QCOMPARE(TreeFixture::readFile(file),
        QByteArray(R"({"presets":[{"display_name":"Mira"},{"blip_file":"female"}],"shout_name":"default"})"));
    const CsActor::ActorData reloaded({m_disk, m_dir->path()}, "Mira");
    QCOMPARE(reloaded.presets.size(), 1);
    QCOMPARE(reloaded.presets.first().blipFile(), QString("female"));
    QCOMPARE(reloaded.presets.first().displayName(), QString());
}

void TestActorData::presetNamesAreLowerCase()
{
    const CsActor::ActorPreset preset(QJsonObject{{"name", "Calm Guard"}});
    QCOMPARE(preset.name(), QString("calm guard"));
    QCOMPARE(preset.toJson(), (QJsonObject{{"name", "calm guard"}}));
    QCOMPARE(CsActor::ActorPreset().toJson(), QJsonObject()); // "default" is not written
    QCOMPARE(CsActor::ActorPreset(QJsonObject()).name(), QString("default"));
}

void TestActorData::setPreset()
{
    CsActor::ActorData data({m_disk, m_dir->path()}, "Mira");
    CsActor::ActorPreset calm;
    calm.setName("calm");
    data.setPreset(calm);
    QCOMPARE(data.presets.size(), 2);

    CsActor::ActorPreset louder;
    louder.setName("CALM");
    louder.setShoutName("loud");
    data.setPreset(louder);
    QCOMPARE(data.presets.size(), 2);
    QCOMPARE(data.presets.at(1).shoutName(), QString("loud"));
    QCOMPARE(data.presets.at(1).name(), QString("CALM")); // the given preset, as it is
}

void TestActorData::presetsShareUntilChanged()
{
    CsActor::ActorPreset original;
    original.setDisplayName("Mira");
    CsActor::ActorPreset copy = original;
    QVERIFY(copy.isSharedWith(original));
    copy.setDisplayName("Kit");
    QVERIFY(!copy.isSharedWith(original));
    QCOMPARE(original.displayName(), QString("Mira"));
    QCOMPARE(copy.displayName(), QString("Kit"));
}

void TestActorData::presetRead_data()
{
    QTest::addColumn<QJsonObject>("object");
    QTest::addColumn<QJsonObject>("written");

    QTest::newRow("all texts") << QJsonObject{{"blip_file", "b"}, {"color_name", "c"}, {"chatbox_name", "x"},
        {"display_name", "d"}, {"position_name", "p"}, {"shout_name", "s"}}
                               << QJsonObject{{"blip_file", "b"}, {"color_name", "c"}, {"chatbox_name", "x"},
                                      {"display_name", "d"}, {"position_name", "p"}, {"shout_name", "s"}};
    QTest::newRow("texts that are not strings keep the value") << QJsonObject{
        {"blip_file", 1}, {"display_name", QJsonArray()}} << QJsonObject{{"display_name", "kept"}};
    QTest::newRow("rules are read afresh")
        << QJsonObject{{"rules", QJsonObject{{"blip_once", true}}}}
        << QJsonObject{{"display_name", "kept"}, {"rules", QJsonObject{{"blip_once", true}}}};
}

void TestActorData::presetRead()
{
    QFETCH(QJsonObject, object);
    CsActor::ActorPreset preset;
    preset.setDisplayName("kept");
    CsActor::PresetRules rules;
    rules.uppercase = true;
    preset.setRules(rules);
    preset.readJson(object);
    QTEST(preset.toJson(), "written");
}

QTEST_GUILESS_MAIN(TestActorData)
#include "tst_actordata.moc"
