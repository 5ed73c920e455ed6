// What reading ahead relies on: a reading names every folder it depended on
// and says when it passed a link; a change names the folders it touched, also
// when an earlier change put another folder at the same path.

#include "filesystem/diskfilesystem.h"
#include "filesystem/folderwatch.h"
#include "testsupport/treefixture.h"

#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

FolderId idOf(const QString &path)
{
    struct stat info;
    if (::stat(QFile::encodeName(path).constData(), &info) != 0)
        return {};
    return {quint64(info.st_dev), quint64(info.st_ino)};
}

} // namespace

class TestFolderWatch : public QObject
{
    Q_OBJECT

private slots:
    void reading_data();
    void reading();
    void changes();
};

void TestFolderWatch::reading_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<QString>("looked"); // a name looked at; "list:" lists a folder
    QTest::addColumn<bool>("passedLink");
    QTest::addColumn<QStringList>("folders"); // folders the reading must name

    QTest::newRow("a file two folders down")
        << QStringList{"a/b/c.txt=x"} << "a/b/c.txt" << false << QStringList{"", "a", "a/b"};
    QTest::newRow("a name that is missing")
        << QStringList{"a/b/"} << "a/none/x" << false << QStringList{"", "a"};
    QTest::newRow("a link on the way")
        << QStringList{"real/x=1", "a/l->../real"} << "a/l/x" << true << QStringList{"", "a"};
    QTest::newRow("a link as the name")
        << QStringList{"real=1", "a/l->../real"} << "a/l" << true << QStringList{"", "a"};
    QTest::newRow("a listing that holds a link")
        << QStringList{"real/", "a/l->../real", "a/f=1"} << "list:a" << true << QStringList{"", "a"};
    QTest::newRow("a listing without links")
        << QStringList{"a/f=1", "a/g/"} << "list:a" << false << QStringList{"", "a"};
}

void TestFolderWatch::reading()
{
    QFETCH(QStringList, entries);
    QFETCH(QString, looked);
    QFETCH(bool, passedLink);
    QFETCH(QStringList, folders);
    QTemporaryDir root;
    QVERIFY(TreeFixture::build(root.path(), entries));
    const DiskFileSystem disk;
    ReadRecorder recorder(disk);
    if (looked.startsWith("list:"))
        recorder.list(root.filePath(looked.mid(5)));
    else
        recorder.status(root.filePath(looked));
    QCOMPARE(recorder.passedLink(), passedLink);
    for (const QString &folder : folders)
        QVERIFY2(recorder.folders().count(idOf(root.filePath(folder))), qPrintable(folder));
}

void TestFolderWatch::changes()
{
    QTemporaryDir root;
    QVERIFY(TreeFixture::build(root.path(), {"a/x=1", "a/y=2", "b/", "other/"}));
    DiskFileSystem disk;
    ChangedFolders watch(disk, nullptr);
    disk.setObserver(&watch);
    FileError error;
    const FolderId a = idOf(root.filePath("a"));
    const FolderId oldB = idOf(root.filePath("b"));

    watch.open();
    QVERIFY(disk.move(root.filePath("a/x"), root.filePath("b/x"), &error));
    // The folder at "b" goes, and another takes its path.
    QVERIFY(disk.move(root.filePath("b"), root.filePath("c"), &error));
    QVERIFY(disk.makeFolder(root.filePath("b"), &error));
    QVERIFY(disk.move(root.filePath("a/y"), root.filePath("b/y"), &error));
    const FolderIds changed = watch.close();

    const FolderIds expected{a, oldB, idOf(root.path()), idOf(root.filePath("b"))};
    QCOMPARE(changed, expected);
    QVERIFY(!changed.count(idOf(root.filePath("other"))));
}

QTEST_GUILESS_MAIN(TestFolderWatch)
#include "tst_folderwatch.moc"
