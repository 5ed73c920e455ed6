#include "model/keyname.h"

#include <QtTest>

class TestKeyName : public QObject
{
    Q_OBJECT

private slots:
    void keyName_data();
    void keyName();
    void sameKeysOnEveryThread();
};

void TestKeyName::keyName_data()
{
    QTest::addColumn<QString>("name");
    QTest::addColumn<bool>("dotted");
    QTest::addColumn<QString>("key");

    QTest::newRow("words") << "EmoteAnimFile" << false << "emote_anim_file";
    QTest::newRow("one word") << "Speakthrough" << false << "speakthrough";
    QTest::newRow("four words") << "HideOverlayDuringAnim" << false << "hide_overlay_during_anim";
    QTest::newRow("one-letter word") << "MirrorH" << false << "mirror_h";
    QTest::newRow("camel case") << "displayName" << false << "display_name";
    QTest::newRow("member prefix") << "m_displayName" << false << "display_name";
    QTest::newRow("object part") << "actor.soundDelay" << false << "sound_delay";
    QTest::newRow("object part, dotted") << "actor.soundDelay" << true << "actorsound_delay";
    QTest::newRow("dotted keeps the member") << "Scene.PositionName" << true << "scene_position_name";
    QTest::newRow("plain drops the object") << "Scene.PositionName" << false << "position_name";
    QTest::newRow("dotted name") << "Scene.Name" << true << "scene_name";
    QTest::newRow("call") << "emote->sceneName()" << false << "scene_name";
    QTest::newRow("scopes after the prefix step") << "CsActor::Emote::m_soundFile" << false << "msound_file";
    QTest::newRow("trailing capitals") << "iconURL" << false << "icon_url";
    QTest::newRow("leading capitals") << "HTMLParser" << false << "htmlparser";
    QTest::newRow("capitals then words") << "PNGFileName" << false << "pngfile_name";
    QTest::newRow("repeated word") << "fooBarFooBaz" << false << "foo_bar_foo_baz";
    QTest::newRow("snake case loses its start") << "sound_delay" << false << "delay";
    QTest::newRow("chained access") << "a.b->c" << false << "c";
    QTest::newRow("chained access, dotted") << "a.b->c" << true << "abc";
    QTest::newRow("empty") << "" << false << "";
    QTest::newRow("capitals only") << "ABC" << false << "abc";
    QTest::newRow("run replaced everywhere") << "ABxABC" << false << "abx_ab_c";
    QTest::newRow("lone underscore start kept") << "_x" << false << "x";
    QTest::newRow("longest prefix") << "a_b_cD" << false << "c_d";
}

void TestKeyName::keyName()
{
    QFETCH(QString, name);
    QFETCH(bool, dotted);
    QTEST(::keyName(name, dotted), "key");
    QTEST(::keyName(name, dotted), "key"); // the remembered key: the same
}

// Keys are remembered per thread: a thread that asks first must get what this
// one got, whichever of them worked the key out.
void TestKeyName::sameKeysOnEveryThread()
{
    const QStringList names{QStringLiteral("EmoteAnimFile"), QStringLiteral("Scene.Name"),
        QStringLiteral("m_displayName"), QStringLiteral("iconURL")};
    QStringList here;
    for (const QString &name : names)
        here << ::keyName(name, false) << ::keyName(name, true);
    QStringList there;
    QScopedPointer<QThread> thread(QThread::create([&] {
        for (const QString &name : names)
            there << ::keyName(name, false) << ::keyName(name, true);
    }));
    thread->start();
    QVERIFY(thread->wait());
    QCOMPARE(there, here);
}

QTEST_GUILESS_MAIN(TestKeyName)
#include "tst_keyname.moc"
