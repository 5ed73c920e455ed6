#include "model/actordescription.h"
#include "model/emote.h"
#include "model/legacyemote.h"

#include <QJsonArray>
#include <QtTest>

#include <algorithm>

using CsActor::LegacyEmote;
using CsActor::LegacyEmoteRules;

namespace {

// The switches that are on, by key.
QStringList on(const LegacyEmoteRules &rules)
{
    QStringList keys;
    const QJsonObject object = rules.toJson();
    for (auto it = object.begin(); it != object.end(); ++it) {
        if (it.value().toBool())
            keys.append(it.key());
    }
    return keys;
}

} // namespace

class TestEmote : public QObject
{
    Q_OBJECT

private slots:
    void legacyRules_data();
    void legacyRules();
    void legacyLine_data();
    void legacyLine();
    void ordering_data();
    void ordering();
    void upsert();
    void emoteRead_data();
    void emoteRead();
    void legacyToCurrent();
    void description();
};

void TestEmote::legacyRules_data()
{
    QTest::addColumn<QJsonValue>("value");
    QTest::addColumn<QStringList>("expected");

    QTest::newRow("mask") << QJsonValue(129) << QStringList{"mirror_h", "play_anim"};
    QTest::newRow("mask 5") << QJsonValue(5) << QStringList{"back_is_zoom", "play_anim"};
    QTest::newRow("higher bits ignored") << QJsonValue(512 + 256) << QStringList{"mirror_v"};
    QTest::newRow("all") << QJsonValue(-1)
                         << QStringList{"anim_is_movie", "back_is_zoom", "hide_back", "hide_dialog_emote",
                                "hide_front", "mirror_h", "mirror_v", "play_anim", "play_flash"};
    QTest::newRow("names ignore case")
        << QJsonValue("playanim|MIRRORH") << QStringList{"mirror_h", "play_anim"};
    QTest::newRow("empty parts") << QJsonValue("PlayAnim||HideFront")
                                 << QStringList{"hide_front", "play_anim"};
    QTest::newRow("blanks are kept") << QJsonValue("PlayAnim | MirrorH") << QStringList();
    QTest::newRow("number text") << QJsonValue("3") << QStringList{"anim_is_movie", "play_anim"};
    QTest::newRow("number text 257") << QJsonValue("257") << QStringList{"mirror_v", "play_anim"};
    QTest::newRow("unknown words") << QJsonValue("Fly|MirrorV") << QStringList{"mirror_v"};
    QTest::newRow("object") << QJsonValue(QJsonObject{{"hide_back", true}, {"mirror_v", 1}})
                            << QStringList{"hide_back"};
    QTest::newRow("boolean") << QJsonValue(true) << QStringList();
    QTest::newRow("array") << QJsonValue(QJsonArray{1}) << QStringList();
    QTest::newRow("null") << QJsonValue() << QStringList();
}

void TestEmote::legacyRules()
{
    QFETCH(QJsonValue, value);
    const LegacyEmoteRules rules = LegacyEmoteRules::fromJson(value);
    QTEST(on(rules), "expected");
    QCOMPARE(rules.toJson().size(), 9); // every key is written, off or on
}

void TestEmote::legacyLine_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QStringList>("fields"); // name, anim, file, preset
    QTest::addColumn<QStringList>("rules");

    QTest::newRow("typical") << "normal#-#normal#0#1" << QStringList{"normal", "-", "normal", "1"}
                             << QStringList();
    QTest::newRow("invisible, no preset")
        << "hide#-#invisible#1#0" << QStringList{"hide", "-", "invisible", ""}
        << QStringList{"hide_dialog_emote", "hide_front", "play_anim"};
    QTest::newRow("one part") << "x" << QStringList{"x", "", "", ""} << QStringList();
    QTest::newRow("three parts") << "a#b#c" << QStringList{"a", "b", "c", ""} << QStringList();
    QTest::newRow("flag names") << "a#b#c#PlayAnim|MirrorH#p" << QStringList{"a", "b", "c", "p"}
                                << QStringList{"mirror_h", "play_anim"};
    QTest::newRow("extra parts ignored")
        << "a#b#c#1#p#q#r" << QStringList{"a", "b", "c", "p"} << QStringList{"play_anim"};
    QTest::newRow("empty parts kept")
        << "#anim##2#" << QStringList{"", "anim", "", ""} << QStringList{"anim_is_movie"};
    QTest::newRow("invisible whatever the rules")
        << "a#b#invisible#0#1" << QStringList{"a", "b", "invisible", "1"} << QStringList{"hide_dialog_emote"};
}

void TestEmote::legacyLine()
{
    QFETCH(QString, value);
    QFETCH(QStringList, fields);
    const LegacyEmote emote("7", value.split('#'));
    QCOMPARE(emote.display_icon, QString("7"));
    QCOMPARE(
        (QStringList{emote.display_name, emote.emote_anim_file, emote.emote_file, emote.actor_preset_name}),
        fields);
    QTEST(on(emote.rules), "rules");
    QVERIFY(emote.sound_file.isEmpty());
    QCOMPARE(emote.sound_delay, 0);
}

void TestEmote::ordering_data()
{
    QTest::addColumn<QStringList>("keys");
    QTest::addColumn<QStringList>("sorted");

    QTest::newRow("numbers before words")
        << QStringList{"10", "2", "a", "1"} << QStringList{"1", "2", "10", "a"};
    QTest::newRow("numbers first") << QStringList{"10", "2", "1", "a"} << QStringList{"1", "2", "10", "a"};
    QTest::newRow("words keep their order")
        << QStringList{"b", "3", "a", "1"} << QStringList{"1", "3", "b", "a"};
    QTest::newRow("folders after the top level")
        << QStringList{"sub/10", "2", "sub/2", "1"} << QStringList{"1", "2", "sub/2", "sub/10"};
    QTest::newRow("folder case ignored") << QStringList{"X/10", "x/2"} << QStringList{"x/2", "X/10"};
}

void TestEmote::ordering()
{
    QFETCH(QStringList, keys);
    QList<LegacyEmote> list;
    for (const QString &key : keys)
        list.append(LegacyEmote(key, {}));
    std::stable_sort(list.begin(), list.end(),
        [](const LegacyEmote &a, const LegacyEmote &b) { return CsActor::legacyEmoteLess(a, b); });
    QStringList result;
    for (const LegacyEmote &emote : list)
        result.append(emote.display_icon);
    QTEST(result, "sorted");
}

void TestEmote::upsert()
{
    QList<LegacyEmote> list;
    CsActor::upsertLegacyEmote(list, LegacyEmote("1", {"first"}));
    CsActor::upsertLegacyEmote(list, LegacyEmote("2", {"second"}));
    CsActor::upsertLegacyEmote(list, LegacyEmote("1", {"again"}));
    CsActor::upsertLegacyEmote(list, LegacyEmote("A", {"case"}));
    CsActor::upsertLegacyEmote(list, LegacyEmote("a", {"other case"}));
    QCOMPARE(list.size(), 4);
    QCOMPARE(list.at(0).display_name, QString("again"));
    QCOMPARE(list.at(1).display_name, QString("second"));
}

void TestEmote::emoteRead_data()
{
    QTest::addColumn<QJsonObject>("object");
    QTest::addColumn<QJsonObject>("written");

    QTest::newRow("default") << QJsonObject() << QJsonObject{{"sound_delay", 0}};
    QTest::newRow("rules must be an object") << QJsonObject{{"rules", 5}} << QJsonObject{{"sound_delay", 0}};
    QTest::newRow("wrong types") << QJsonObject{{"display_icon", 3}, {"sound_delay", "12"},
        {"emote_file", true}} << QJsonObject{{"sound_delay", 0}};
    QTest::newRow("fractional delay") << QJsonObject{{"sound_delay", 2.5}} << QJsonObject{{"sound_delay", 0}};
    QTest::newRow("nested scene wins over flat keys")
        << QJsonObject{{"scene", "court"}, {"scene_name", "hall"}} << QJsonObject{{"sound_delay", 0}};
    QTest::newRow("flat keys read, written nested")
        << QJsonObject{{"scene_name", "hall"}, {"scene_position_name", "left"}, {"overlay_name", "rain"},
               {"overlay_preset_name", "p"}, {"overlay_rules", QJsonObject{{"no_sound", true}}},
               {"anim_overlay_preset_name", "q"}}
        << QJsonObject{{"sound_delay", 0},
               {"scene", QJsonObject{{"name", "hall"}, {"position_name", "left"}}},
               {"overlay",
                   QJsonObject{
                       {"name", "rain"}, {"preset_name", "p"}, {"rules", QJsonObject{{"no_sound", true}}}}},
               {"anim_overlay_preset_name", "q"}};
    QTest::newRow("overlay preset needs an overlay name")
        << QJsonObject{{"overlay", QJsonObject{{"preset_name", "p"}}}, {"anim_overlay_preset_name", "q"}}
        << QJsonObject{{"sound_delay", 0}, {"overlay", QJsonObject{{"preset_name", "p"}}}};
    QTest::newRow("all texts and switches")
        << QJsonObject{{"display_icon", "i"}, {"display_name", "n"}, {"actor_preset_name", "a"},
               {"emote_file", "e"}, {"emote_anim_file", "an"}, {"emote_idle_file", "id"},
               {"emote_talk_file", "t"}, {"sound_file", "s"}, {"sound_delay", 180},
               {"rules",
                   QJsonObject{
                       {"speakthrough", true}, {"hide_overlay_during_anim", true}, {"mirror_v", false}}}}
        << QJsonObject{{"display_icon", "i"}, {"display_name", "n"}, {"actor_preset_name", "a"},
               {"emote_file", "e"}, {"emote_anim_file", "an"}, {"emote_idle_file", "id"},
               {"emote_talk_file", "t"}, {"sound_file", "s"}, {"sound_delay", 180},
               {"rules", QJsonObject{{"speakthrough", true}, {"hide_overlay_during_anim", true}}}};
}

void TestEmote::emoteRead()
{
    QFETCH(QJsonObject, object);
    QTEST(CsActor::Emote::fromJson(object).toJson(), "written");
}

void TestEmote::legacyToCurrent()
{
    LegacyEmote legacy("3", QString("Slam#slam_a#invisible#-1#0").split('#'));
    legacy.sound_file = "sfx";
    legacy.sound_delay = 180;
    QJsonObject object = legacy.toJson();
    QCOMPARE(object.value("rules").toObject().size(), 9);

    QList<LegacyEmote> list;
    CsActor::readLegacyEmotes(list, QJsonArray{object, QJsonObject()});
    QCOMPARE(list.size(), 2);
    QCOMPARE(list.at(0).toJson(), object);
    QCOMPARE(list.at(1).toJson(), LegacyEmote().toJson());

    CsActor::ActorDescription description;
    description.readJson(QJsonObject{{"scenario", QJsonArray{object}}});
    QCOMPARE(description.scenario.size(), 1);
    const CsActor::Emote emote = description.scenario.first();
    QCOMPARE(emote.display_icon, QString("3"));
    QCOMPARE(emote.emote_anim_file, QString("slam_a"));
    QCOMPARE(emote.sound_delay, 180);
    // hide_back and hide_front have no current switch; the other seven carry over.
    QCOMPARE(emote.toJson().value("rules").toObject(),
        (QJsonObject{{"play_anim", true}, {"anim_is_movie", true}, {"back_is_zoom", true},
            {"hide_dialog_emote", true}, {"play_flash", true}, {"mirror_h", true}, {"mirror_v", true}}));
}

void TestEmote::description()
{
    CsActor::ActorDescription description;
    QCOMPARE(description.fileName, QString("char.toml"));
    QCOMPARE(description.toJson(), QJsonObject()); // no emotes, no "scenario"
    description.readJson(QJsonObject{{"scenario", QJsonArray{QJsonObject(), 5}}});
    QCOMPARE(description.toJson(),
        (QJsonObject{
            {"scenario", QJsonArray{QJsonObject{{"sound_delay", 0}}, QJsonObject{{"sound_delay", 0}}}}}));
    description.readJson(QJsonObject{{"scenario", "x"}});
    QVERIFY(description.scenario.isEmpty());
}

QTEST_GUILESS_MAIN(TestEmote)
#include "tst_emote.moc"
