// Resolving inside a client: links are followed only while they stay in it,
// and the confined disk never reaches past the client's top folder.

#include "filesystem/clientfilesystem.h"
#include "filesystem/clientroot.h"
#include "testsupport/treefixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <sys/file.h>

class TestClientRoot : public QObject
{
    Q_OBJECT

private slots:
    void reaches_data();
    void reaches();
    void confinedChanges();
    void lockIsExclusive();
};

void TestClientRoot::reaches_data()
{
    QTest::addColumn<QString>("path"); // below the client
    QTest::addColumn<bool>("followLast");
    QTest::addColumn<bool>("inside");

    // The tree: client/{a/x, in->a, up->.., abs->CLIENT/a, out->../outside, absout->OUTSIDE, loop->loop,
    //                   deep->a/../../outside, beside->CLIENT-old}, outside/secret, client-old/secret
    QTest::newRow("plain file") << "a/x" << true << true;
    QTest::newRow("missing parts") << "b/c/d" << true << true;
    QTest::newRow("link inside, on the way") << "in/x" << true << true;
    QTest::newRow("link to the top folder") << "up/a/x" << true << true;
    QTest::newRow("absolute link inside") << "abs/x" << true << true;
    QTest::newRow("relative link out, on the way") << "out/secret" << true << false;
    QTest::newRow("absolute link out, on the way") << "absout/secret" << true << false;
    QTest::newRow("link out at the end, followed") << "out" << true << false;
    QTest::newRow("link out at the end, itself") << "out" << false << true;
    QTest::newRow("dot-dots inside a link's text") << "deep/secret" << true << false;
    QTest::newRow("a loop of links") << "loop/x" << true << false;
    // "client-old" starts with the client's path, yet lies beside it.
    QTest::newRow("absolute link beside the client") << "beside/secret" << true << false;
}

void TestClientRoot::reaches()
{
    QFETCH(QString, path);
    QFETCH(bool, followLast);
    QFETCH(bool, inside);
    QTemporaryDir top;
    const QString client = top.filePath("client");
    QVERIFY(TreeFixture::build(top.path(),
        {"client/a/x=1", "client/in->a", "client/up->.", "client/abs->" + client + "/a",
            "client/out->../outside", "client/absout->" + top.filePath("outside"), "client/loop->loop",
            "client/deep->a/../../outside", "client/beside->" + client + "-old", "outside/secret=s",
            "client-old/secret=s"}));
    ClientRoot root;
    FileError why;
    QVERIFY(root.open(client, &why));
    QCOMPARE(root.reaches(client + '/' + path, followLast, &why), inside);
    if (!inside)
        QVERIFY(!why.isEmpty());
    QVERIFY(!root.reaches(top.filePath("outside/secret"), false, &why)); // not below the client at all
    QVERIFY(!root.reaches(client + "-old/secret", false, &why));
}

void TestClientRoot::confinedChanges()
{
    QTemporaryDir top;
    const QString client = top.filePath("client");
    QVERIFY(TreeFixture::build(
        top.path(), {"client/a/x=1", "client/out->../outside", "outside/secret=s", "outside/free/"}));
    ClientRoot root;
    FileError why;
    QVERIFY(root.open(client, &why));
    ClientFileSystem files(root);

    QByteArray bytes;
    QVERIFY(files.readFile(client + "/a/x", &bytes, &why));
    QCOMPARE(bytes, QByteArray("1"));
    QVERIFY(!files.readFile(client + "/out/secret", &bytes, &why));
    QCOMPARE(why.code, ClientRoot::outsideReason().code);
    QVERIFY(!files.status(client + "/out/secret").exists);
    QVERIFY(!files.move(client + "/a/x", client + "/out/free/x", &why));
    QVERIFY(!files.move(client + "/out/secret", client + "/a/secret", &why));
    QVERIFY(
        !files.copyFile(client + "/out/secret", client + "/a/copy", QByteArray(), FileAttributes(), &why));
    QVERIFY(!files.makeFolder(client + "/out/made", &why));
    // The link itself is the client's own: it may be moved, never what it leads to.
    QVERIFY(files.move(client + "/out", client + "/a/out", &why));

    const QStringList outside = TreeFixture::describe(top.filePath("outside"));
    QCOMPARE(outside, QStringList({"free/", "secret=s"}));
    QCOMPARE(TreeFixture::describe(client), QStringList({"a/", "a/out->outside", "a/x=1"}));
}

void TestClientRoot::lockIsExclusive()
{
    QTemporaryDir top;
    ClientRoot first;
    ClientRoot second;
    FileError why;
    QVERIFY(first.open(top.path(), &why) && second.open(top.path(), &why));
    QVERIFY(first.lock(&why));
    QVERIFY(!second.lock(&why));
    QVERIFY(why.text.contains("another run or undo"));
    QCOMPARE(why.code, EWOULDBLOCK); // told apart from a failure by its code
}

QTEST_GUILESS_MAIN(TestClientRoot)
#include "tst_clientroot.moc"
