#include "filesystem/diskfilesystem.h"
#include "paths/actorpath.h"
#include "paths/filetree.h"
#include "paths/folders.h"
#include "paths/medialookup.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

void touch(const QString &path)
{
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
}

QStringList names(const AsFileTree::FileTree &tree)
{
    QStringList result;
    for (const AsFileTree::FileTree &child : tree.children)
        result.append(AsFileTree::fileName(child));
    return result;
}

} // namespace

class TestPaths : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void joinRule_data();
    void joinRule();
    void wellKnownFolders();
    void listing_data();
    void listing();
    void listingSharesRoot();
    void recursiveListingDropsEmptyFolders();
    void entryNames_data();
    void entryNames();
    void mediaLookup_data();
    void mediaLookup();
    void pathBuilder();
    void actorPaths();

private:
    QTemporaryDir *m_dir = nullptr;
    QString m_previous;
    const DiskFileSystem m_disk;
};

void TestPaths::init()
{
    m_previous = QDir::currentPath();
    m_dir = new QTemporaryDir;
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir::setCurrent(m_dir->path()));
}

void TestPaths::cleanup()
{
    QDir::setCurrent(m_previous);
    delete m_dir;
    m_dir = nullptr;
}

void TestPaths::joinRule_data()
{
    QTest::addColumn<QStringList>("parts");
    QTest::addColumn<QString>("relative"); // expected, relative to the current folder

    // "@" stands for the current folder's absolute path.
    QTest::newRow("absolute parts") << QStringList{"@/games/client", "base", "characters"}
                                    << "games/client/base/characters";
    QTest::newRow("parent part cannot climb") << QStringList{"chars", "../notes.txt"} << "chars/notes.txt";
    QTest::newRow("double dot inside a name") << QStringList{"sprites", "a..b.png"} << "sprites/ab.png";
    // A folder found on disk is used as found, whatever its name holds.
    QTest::newRow("folder with two dots") << QStringList{"My..Chars", "x"} << "My..Chars/x";
    QTest::newRow("two dots in a joined folder") << QStringList{"chars", "My..Chars/x"} << "chars/MyChars/x";
    QTest::newRow("long dot run") << QStringList{"a", "....", "b"} << "a/b";
    QTest::newRow("single dots stay in names") << QStringList{"a", "b.c.png"} << "a/b.c.png";
    QTest::newRow("empty part still separates") << QStringList{"a", "", "b"} << "a/b";
    QTest::newRow("relative made absolute") << QStringList{"x"} << "x";
}

void TestPaths::joinRule()
{
    QFETCH(QStringList, parts);
    QFETCH(QString, relative);
    parts.replaceInStrings(QRegularExpression("^@"), QDir::currentPath());
    const QString expected = QDir::currentPath() + '/' + relative;
    const ResolvedPath resolved = joinPath(m_disk, parts);
    QCOMPARE(resolved.path, expected);
    QCOMPARE(joinPathText(parts), expected);
    QVERIFY(!resolved.isFile);

    touch(expected);
    QVERIFY(joinPath(m_disk, parts).isFile);
}

void TestPaths::wellKnownFolders()
{
    const QString here = QDir::currentPath();
    QCOMPARE(baseFolderPath(here), here + "/base");
    QCOMPARE(charactersFolderPath(here), here + "/base/characters");
    QCOMPARE(charactersFolderPath(here + "/"), here + "/base/characters");
}

void TestPaths::listing_data()
{
    QTest::addColumn<QStringList>("entries"); // a trailing "/" makes a folder
    QTest::addColumn<int>("filter");
    QTest::addColumn<QStringList>("suffixes");
    QTest::addColumn<QStringList>("expected");

    const QStringList mixed{"b.png", "A.png", "c/", ".d.png", "e.txt"};
    QTest::newRow("folders first, case ignored, hidden left out")
        << mixed << int(AsFileTree::Folders | AsFileTree::Files) << QStringList()
        << QStringList{"c", "A.png", "b.png", "e.txt"};
    QTest::newRow("folders only") << mixed << int(AsFileTree::Folders) << QStringList() << QStringList{"c"};
    QTest::newRow("files only") << mixed << int(AsFileTree::Files) << QStringList()
                                << QStringList{"A.png", "b.png", "e.txt"};
    QTest::newRow("no flags") << mixed << 0 << QStringList() << QStringList();
    QTest::newRow("image suffixes are exact")
        << QStringList{"x.PNG", "y.jpeg", "z.png", "w.gif", "v.webp", "png/"}
        << int(AsFileTree::Files | AsFileTree::Folders) << QStringList{"webp", "gif", "png"}
        << QStringList{"png", "v.webp", "w.gif", "z.png"};
    QTest::newRow("list items are lower-cased") << QStringList{"a.wav", "b.WAV"} << int(AsFileTree::Files)
                                                << QStringList{"WAV"} << QStringList{"a.wav"};
    QTest::newRow("suffix is after the last dot")
        << QStringList{"a.png.txt", "b.txt.png"} << int(AsFileTree::Files) << QStringList{"png"}
        << QStringList{"b.txt.png"};
    QTest::newRow("file without suffix") << QStringList{"holdit", "holdit.wav"} << int(AsFileTree::Files)
                                         << QStringList{"wav"} << QStringList{"holdit.wav"};
}

void TestPaths::listing()
{
    QFETCH(QStringList, entries);
    QFETCH(int, filter);
    QFETCH(QStringList, suffixes);
    QFETCH(QStringList, expected);

    for (const QString &entry : entries) {
        if (entry.endsWith('/'))
            QVERIFY(QDir().mkpath("list/" + entry));
        else
            touch("list/" + entry);
    }
    const QString root = QDir::currentPath() + "/list";
    const AsFileTree::FileTree tree = AsFileTree::buildFileTree(m_disk, root, filter, suffixes);
    QCOMPARE(tree.path, root);
    QCOMPARE(names(tree), expected);
    for (const AsFileTree::FileTree &child : tree.children) {
        QCOMPARE(child.path, root + '/' + AsFileTree::fileName(child));
        QVERIFY(child.children.isEmpty());
    }
}

void TestPaths::listingSharesRoot()
{
    touch("list/a.png");
    touch("list/b.png");
    const AsFileTree::FileTree tree = AsFileTree::buildFileTree(m_disk, "list", AsFileTree::Files, "png");
    QCOMPARE(tree.children.size(), 2);
    QCOMPARE(tree.listingRoot->path, QString("list"));
    QCOMPARE(tree.children.at(0).listingRoot, tree.listingRoot);
    QCOMPARE(tree.children.at(0).path, QString("list/a.png"));

    // A missing folder and an empty path name no folder: nothing is listed.
    QVERIFY(AsFileTree::buildFileTree(m_disk, "missing", AsFileTree::Files).children.isEmpty());
    QVERIFY(AsFileTree::buildFileTree(m_disk, QString(), AsFileTree::Files | AsFileTree::Folders)
                .children.isEmpty());
}

void TestPaths::recursiveListingDropsEmptyFolders()
{
    touch("tree/a/deep/x.png");
    touch("tree/b/y.txt");
    QVERIFY(QDir().mkpath("tree/c"));
    const int filter = AsFileTree::Folders | AsFileTree::Files | AsFileTree::Recursive;
    const AsFileTree::FileTree tree = AsFileTree::buildFileTree(m_disk, "tree", filter, "png");
    QCOMPARE(names(tree), QStringList{"a"});
    QCOMPARE(names(tree.children.at(0)), QStringList{"deep"});
    QCOMPARE(names(tree.children.at(0).children.at(0)), QStringList{"x.png"});
    QCOMPARE(tree.children.at(0).children.at(0).children.at(0).path, QString("tree/a/deep/x.png"));
}

void TestPaths::entryNames_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("fileName");
    QTest::addColumn<QString>("baseName");
    QTest::addColumn<QString>("suffix");

    QTest::newRow("plain") << "/c/holdit.wav"
                           << "holdit.wav"
                           << "holdit"
                           << "wav";
    QTest::newRow("two dots") << "/c/Hold.It.WAV"
                              << "Hold.It.WAV"
                              << "Hold"
                              << "WAV";
    QTest::newRow("no dot") << "/c/emotions"
                            << "emotions"
                            << "emotions"
                            << "";
    QTest::newRow("leading dot") << "/c/.x"
                                 << ".x"
                                 << ""
                                 << "x";
}

void TestPaths::entryNames()
{
    QFETCH(QString, path);
    AsFileTree::FileTree node;
    node.path = path;
    QTEST(AsFileTree::fileName(node), "fileName");
    QTEST(AsFileTree::baseName(node), "baseName");
    QTEST(AsFileTree::suffix(node), "suffix");
    QCOMPARE(AsFileTree::path(node), path);
}

void TestPaths::mediaLookup_data()
{
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("sound");
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("found"); // empty: nothing found

    QTest::newRow("gif before png") << QStringList{"m/happy.gif", "m/happy.png"} << false << "m/happy"
                                    << "m/happy.gif";
    QTest::newRow("webp first") << QStringList{"m/a.png", "m/a.webp"} << false << "m/a"
                                << "m/a.webp";
    QTest::newRow("exact name wins") << QStringList{"m/happy", "m/happy.gif"} << false << "m/happy"
                                     << "m/happy";
    QTest::newRow("folder is not a file") << QStringList{"m/happy/x", "m/happy.png"} << false << "m/happy"
                                          << "m/happy.png";
    QTest::newRow("sound order") << QStringList{"s/sfx.mp3", "s/sfx.opus", "s/sfx.ogg"} << true << "s/sfx"
                                 << "s/sfx.opus";
    QTest::newRow("no sound") << QStringList{"s/sfx.png"} << true << "s/sfx"
                              << "";
    QTest::newRow("no image for sound suffix") << QStringList{"m/x.wav"} << false << "m/x"
                                               << "";
    QTest::newRow("suffix case is exact") << QStringList{"s/sfx.WAV"} << true << "s/sfx"
                                          << "";
}

void TestPaths::mediaLookup()
{
    QFETCH(QStringList, files);
    QFETCH(bool, sound);
    QFETCH(QString, name);
    QFETCH(QString, found);
    for (const QString &file : files)
        touch(file);

    PathBuilder builder;
    builder.append(QDir::currentPath()).append(name);
    const ResolvedPath result = sound ? findSoundFile(m_disk, builder) : findImageFile(m_disk, builder);
    if (found.isEmpty()) {
        QVERIFY(result.path.isEmpty());
        QVERIFY(!result.isFile);
    } else {
        QCOMPARE(result.path, QDir::currentPath() + '/' + found);
        QVERIFY(result.isFile);
    }
}

void TestPaths::pathBuilder()
{
    PathBuilder builder;
    QCOMPARE(builder.path(), QString());
    builder.append("rel/../x"); // the first part is taken as is
    QCOMPARE(builder.path(), QString("rel/../x"));
    builder.append("..y"); // only what is joined on loses its dot runs
    QCOMPARE(builder.path(), QDir::currentPath() + "/x/y");
}

void TestPaths::actorPaths()
{
    const ReadContext client{m_disk, QDir::currentPath()};
    const QString characters = QDir::currentPath() + "/base/characters";
    QCOMPARE(actorDataFilePath(client, "Mira").path, characters + "/Mira/data/actor.json");
    QCOMPARE(actorDataFilePath(client, QString()).path, characters + "/data/actor.json");
    QCOMPARE(actorFilePath(client, "Mira", "emotions/1.png").path, characters + "/Mira/emotions/1.png");
    QCOMPARE(actorFilePath(client, "..", "x").path, characters + "/x"); // a name cannot climb out
    QVERIFY(!actorFilePath(client, "Mira", "char.ini").isFile);

    touch("base/characters/Mira/char.ini");
    QVERIFY(actorFilePath(client, "Mira", "char.ini").isFile);
    touch("base/characters/Mira/emotions/happy.png");
    const ResolvedPath image = actorImagePath(client, "Mira", "emotions/happy");
    QCOMPARE(image.path, characters + "/Mira/emotions/happy.png");
    QVERIFY(image.isFile);
    QVERIFY(actorImagePath(client, "Kit", "emotions/happy").path.isEmpty()); // the earlier name left no trace

    CActorPath actor(client, "Mira");
    QCOMPARE(actor.rootPath().path, characters + "/Mira");
    QCOMPARE(actor.setActorName(QString()).rootPath().path, characters);
    QCOMPARE(actor.setActorName("Mira").soundPath("emotions/happy").path, QString());
    QCOMPARE(actor.imagePath("emotions/happy").path, characters + "/Mira/emotions/happy.png");
}

QTEST_GUILESS_MAIN(TestPaths)
#include "tst_paths.moc"
