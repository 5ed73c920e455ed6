#include "filesystem/filesystem.h"
#include "log/loglevel.h"
#include "migration/filerelocator.h"
#include "testsupport/testrun.h"
#include "testsupport/treefixture.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const QString warn = QStringLiteral("\x1b[33m[WARNING] \x1b[0m");
const QString error = QStringLiteral("\x1b[31m[ERROR] \x1b[0m");

void build(const QString &root, const QStringList &entries)
{
    QVERIFY(TreeFixture::build(root, entries));
}

QStringList describe(const QString &root)
{
    return TreeFixture::describe(root);
}

} // namespace

class TestFileRelocator : public QObject
{
    Q_OBJECT

    DiskFileSystem m_disk; // the tests' own seam

private slots:
    void logLine_data();
    void logLine();
    void digest_data();
    void digest();
    void compare_data();
    void compare();
    void relocate_data();
    void relocate();
    void missingFolderRelocatesNothing();
};

void TestFileRelocator::logLine_data()
{
    QTest::addColumn<int>("level");
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("line");

    QTest::newRow("warning") << int(LogLevel::Warning) << "x"
                             << "\x1b[33m[WARNING] \x1b[0mx";
    QTest::newRow("error") << int(LogLevel::Error) << "y"
                           << "\x1b[31m[ERROR] \x1b[0my";
    QTest::newRow("placeholders in the message stay")
        << int(LogLevel::Error) << "%1 and %2" << error + "%1 and %2";
    QTest::newRow("empty message") << int(LogLevel::Warning) << "" << warn;
}

void TestFileRelocator::logLine()
{
    QFETCH(int, level);
    QFETCH(QString, message);
    QFETCH(QString, line);
    QCOMPARE(formatLogLine(LogLevel(level), message), line);
}

void TestFileRelocator::digest_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("abc") << QByteArray("abc");
    // Larger than one read chunk, and not a multiple of it.
    QTest::newRow("several chunks") << QByteArray(3 * 256 * 1024 + 17, 'v');
}

void TestFileRelocator::digest()
{
    QFETCH(QByteArray, content);
    QTemporaryDir dir;
    QVERIFY(TreeFixture::writeFile(dir.filePath("a"), content));
    QVERIFY(TreeFixture::writeFile(dir.filePath("b"), content));

    // The digest a deletion records is the one of the bytes compared.
    ComparedSource seen;
    QCOMPARE(m_disk.compare(dir.filePath("a"), dir.filePath("b"), &seen), FileComparison::Identical);
    QCOMPARE(seen.sha3, QCryptographicHash::hash(content, QCryptographicHash::Sha3_256));
    QCOMPARE(seen.content.size, qint64(content.size()));
    if (content == "abc")
        QCOMPARE(seen.sha3.toHex(),
            QByteArray("3a985da74fe225b2045c172d6bd390bd855f086e3e9d525b46bfe24511431532"));

    QByteArray bytes;
    FileError reason;
    QVERIFY(m_disk.readFile(dir.filePath("a"), &bytes, &reason));
    QCOMPARE(bytes, content);
    QVERIFY(!m_disk.readFile(dir.filePath("missing"), &bytes, &reason));
    QVERIFY(!m_disk.readFile(dir.path(), &bytes, &reason)); // a folder is no file
}

void TestFileRelocator::compare_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<int>("result");

    QTest::newRow("identical") << QStringList{"a=same", "b=same"} << int(FileComparison::Identical);
    QTest::newRow("both empty") << QStringList{"a=", "b="} << int(FileComparison::Identical);
    QTest::newRow("same size") << QStringList{"a=abc", "b=abd"} << int(FileComparison::Different);
    QTest::newRow("other size") << QStringList{"a=abc", "b=abcd"} << int(FileComparison::Different);
    QTest::newRow("source folder") << QStringList{"a/", "b=x"} << int(FileComparison::Unreadable);
    QTest::newRow("target folder") << QStringList{"a=x", "b/"} << int(FileComparison::Unreadable);
    QTest::newRow("target missing") << QStringList{"a=x"} << int(FileComparison::Unreadable);
}

void TestFileRelocator::compare()
{
    QFETCH(QStringList, entries);
    QTemporaryDir dir;
    build(dir.path(), entries);
    ComparedSource seen;
    QTEST(int(m_disk.compare(dir.filePath("a"), dir.filePath("b"), &seen)), "result");
}

void TestFileRelocator::relocate_data()
{
    QTest::addColumn<QStringList>("before");
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<QStringList>("after");
    QTest::addColumn<QStringList>("lines");

    const QString dupIcon
        = warn + "char_icon.png is a duplicate of actor.png, char_icon.png has been deleted";
    const QString diffIcon
        = error + "unable to move char_icon.png to actor.png; files are different from each others";
    const QString unknownEmotions
        = error + "unable to move emotions to resources: unknown error; opened in another process";

    QTest::newRow("source missing") << QStringList{"x=1"} << "char_icon.png"
                                    << "actor.png" << QStringList{"x=1"} << QStringList();
    QTest::newRow("moved") << QStringList{"char_icon.png=i"} << "char_icon.png"
                           << "actor.png" << QStringList{"actor.png=i"} << QStringList();
    QTest::newRow("parent folders created")
        << QStringList{"holdit.wav=w"} << "holdit.wav"
        << "shouts/sounds/holdit.wav"
        << QStringList{"shouts/", "shouts/sounds/", "shouts/sounds/holdit.wav=w"} << QStringList();
    QTest::newRow("duplicate deleted") << QStringList{"actor.png=i", "char_icon.png=i"} << "char_icon.png"
                                       << "actor.png" << QStringList{"actor.png=i"} << QStringList{dupIcon};
    QTest::newRow("empty files are duplicates")
        << QStringList{"actor.png=", "char_icon.png="} << "char_icon.png"
        << "actor.png" << QStringList{"actor.png="} << QStringList{dupIcon};
    QTest::newRow("different kept") << QStringList{"actor.png=new", "char_icon.png=old"} << "char_icon.png"
                                    << "actor.png" << QStringList{"actor.png=new", "char_icon.png=old"}
                                    << QStringList{diffIcon};
    QTest::newRow("different sizes kept")
        << QStringList{"actor.png=ab", "char_icon.png=abc"} << "char_icon.png"
        << "actor.png" << QStringList{"actor.png=ab", "char_icon.png=abc"} << QStringList{diffIcon};
    QTest::newRow("folder moved whole")
        << QStringList{"emotions/1.png=a", "emotions/sub/2.png=b"} << "emotions"
        << "resources"
        << QStringList{"resources/", "resources/1.png=a", "resources/sub/", "resources/sub/2.png=b"}
        << QStringList();
    QTest::newRow("folder onto folder")
        << QStringList{"emotions/1.png=a", "resources/1.png=a"} << "emotions"
        << "resources" << QStringList{"emotions/", "emotions/1.png=a", "resources/", "resources/1.png=a"}
        << QStringList{unknownEmotions};
    QTest::newRow("file onto folder")
        << QStringList{"emotions=a", "resources/"} << "emotions"
        << "resources" << QStringList{"emotions=a", "resources/"} << QStringList{unknownEmotions};
    QTest::newRow("rename fails")
        << QStringList{"a/x=1"} << "a"
        << "a/b/a" << QStringList{"a/", "a/b/", "a/x=1"}
        << QStringList{error
               + "unable to move a to a/b/a: unknown error; opened in another process (Invalid argument)"};
    // The system's reason follows the words every such line has.
    const QString tooLong = "sprites/" + QString(256, 'n');
    QTest::newRow("a name past the limit")
        << QStringList{"a.png=x"} << "a.png" << tooLong << QStringList{"a.png=x", "sprites/"}
        << QStringList{error + "unable to move a.png to " + tooLong
               + ": unknown error; opened in another process (File name too long)"};
    // Names found on disk are used as found: the entry checked is the entry changed.
    QTest::newRow("a name with a run of dots is moved as it is")
        << QStringList{"a..b.png=x"} << "a..b.png"
        << "sprites/a..b.png" << QStringList{"sprites/", "sprites/a..b.png=x"} << QStringList();
    QTest::newRow("a name with dots never stands in for another")
        << QStringList{"x..png=A", "xpng=B", "sprites/xpng=B"} << "x..png"
        << "sprites/x..png" << QStringList{"sprites/", "sprites/x..png=A", "sprites/xpng=B", "xpng=B"}
        << QStringList();
    QTest::newRow("names in messages as passed")
        << QStringList{"50%2.png=a", "sprites/50%2.png=b"} << "50%2.png"
        << "sprites/50%2.png" << QStringList{"50%2.png=a", "sprites/", "sprites/50%2.png=b"}
        << QStringList{
               error + "unable to move 50%2.png to sprites/50%2.png; files are different from each others"};
    // A link and the file it points to are one file: deleting either would lose it.
    QTest::newRow("source links to target")
        << QStringList{"actor.png=i", "char_icon.png->actor.png"} << "char_icon.png"
        << "actor.png" << QStringList{"actor.png=i", "char_icon.png->actor.png"}
        << QStringList{error
               + "unable to move char_icon.png to actor.png: unknown error; opened in another process (they "
                 "are two names of one file)"};
    QTest::newRow("target links to source")
        << QStringList{"char_icon.png=i", "actor.png->char_icon.png"} << "char_icon.png"
        << "actor.png" << QStringList{"actor.png->char_icon.png", "char_icon.png=i"}
        << QStringList{error
               + "unable to move char_icon.png to actor.png: unknown error; opened in another process (they "
                 "are two names of one file)"};
    // A duplicate that is a link goes itself; the file it points to stays.
    QTest::newRow("duplicate link deleted, its file kept")
        << QStringList{"keep/orig.png=i", "actor.png=i", "char_icon.png->keep/orig.png"} << "char_icon.png"
        << "actor.png" << QStringList{"actor.png=i", "keep/", "keep/orig.png=i"} << QStringList{dupIcon};
    QTest::newRow("dangling link target is not overwritten")
        << QStringList{"char_icon.png=i", "actor.png->nowhere.png"} << "char_icon.png"
        << "actor.png" << QStringList{"actor.png->nowhere.png", "char_icon.png=i"}
        << QStringList{
               error + "unable to move char_icon.png to actor.png: unknown error; opened in another process"};
}

void TestFileRelocator::relocate()
{
    QFETCH(QStringList, before);
    QFETCH(QString, from);
    QFETCH(QString, to);
    QTemporaryDir dir;
    build(dir.path(), before);

    TestRun run(dir.path());
    run.report.line("first");
    const FileRelocator relocator(run.context);
    relocator(QDir(dir.path()), from, to);

    QTEST(describe(dir.path()), "after");
    QFETCH(QStringList, lines);
    QCOMPARE(run.lines(), QStringList{"first"} + lines); // appended, never replaced
    // Errors are counted by their kind, as they are made.
    QCOMPARE(run.report.errors(), int(std::count_if(lines.cbegin(), lines.cend(), [](const QString &l) {
        return l.startsWith(error);
    })));
}

void TestFileRelocator::missingFolderRelocatesNothing()
{
    QTemporaryDir dir;
    const QString previous = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    build(dir.path(), {"holdit.wav=w"});
    TestRun run(dir.path());
    // The folder is gone; its entries must not be looked for in the current folder.
    const FileRelocator relocator(run.context);
    relocator(QDir(dir.filePath("gone")), "holdit.wav", "sounds/holdit.wav");
    QDir::setCurrent(previous);
    QCOMPARE(describe(dir.path()), QStringList{"holdit.wav=w"});
    QVERIFY(run.report.isEmpty());
}

QTEST_GUILESS_MAIN(TestFileRelocator)
#include "tst_filerelocator.moc"
