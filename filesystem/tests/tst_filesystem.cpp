// The file-system seam on unlucky disks: a target on another, full file
// system; a file changed between its comparison and its deletion; special
// files where a file is read.

#include "filesystem/diskfilesystem.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QtTest>

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

bool writeFile(const QString &path, const QByteArray &bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray readFile(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// A small file system of its own below `path`; false where mounting is not permitted.
bool mountSmall(const QString &path, const char *size)
{
    return QProcess::execute("mount", {"-t", "tmpfs", "-o", QString("size=%1").arg(size), "tmpfs", path})
        == 0;
}

} // namespace

class TestFileSystem : public QObject
{
    Q_OBJECT

private slots:
    void crossFileSystemMove_data();
    void crossFileSystemMove();
    void changedAfterComparison_data();
    void changedAfterComparison();
    void specialFilesAreNotOpened_data();
    void specialFilesAreNotOpened();
    void movesNeverReplace();
    void reasonsAreToldApart_data();
    void reasonsAreToldApart();
};

void TestFileSystem::crossFileSystemMove_data()
{
    QTest::addColumn<QByteArray>("filler"); // what already fills the other file system
    QTest::addColumn<bool>("folder");
    QTest::addColumn<bool>("moves");

    QTest::newRow("room: the file moves") << QByteArray() << false << true;
    QTest::newRow("full: the file stays whole") << QByteArray(1024 * 1024, 'f') << false << false;
    QTest::newRow("a folder never crosses") << QByteArray() << true << false;
}

void TestFileSystem::crossFileSystemMove()
{
    QFETCH(QByteArray, filler);
    QFETCH(bool, folder);
    QFETCH(bool, moves);
    QTemporaryDir dir;
    const QString other = dir.filePath("sprites");
    QVERIFY(QDir().mkpath(other));
    if (!mountSmall(other, "1m"))
        QSKIP("mounting a tmpfs is not permitted here");
    auto unmount = qScopeGuard([&] { QProcess::execute("umount", {other}); });
    if (!filler.isEmpty())
        writeFile(other + "/filler", filler); // fills it up, maybe short

    QByteArray bytes(5000, Qt::Uninitialized);
    for (int i = 0; i < bytes.size(); ++i)
        bytes[i] = char(i * 7);
    const QString source = dir.filePath(folder ? "(a)/x.png" : "a.png");
    QVERIFY(QDir().mkpath(QFileInfo(source).path()));
    QVERIFY(writeFile(source, bytes));
    const QString from = folder ? dir.filePath("(a)") : source;
    const QString to = other + (folder ? "/(a)" : "/a.png");

    DiskFileSystem files;
    FileError reason;
    QCOMPARE(files.move(from, to, &reason), moves);
    if (moves) {
        QCOMPARE(readFile(to), bytes);
        QVERIFY(!QFile::exists(source));
    } else {
        QVERIFY(!reason.isEmpty());
        QCOMPARE(readFile(source), bytes); // the source exactly as it was
        QVERIFY(!QFileInfo::exists(to));
        // No partial copy left.
        QCOMPARE(QDir(other).entryList({".veltra-*"}, QDir::Hidden | QDir::AllEntries), QStringList());
    }
}

void TestFileSystem::changedAfterComparison_data()
{
    QTest::addColumn<QByteArray>("replacement");
    QTest::addColumn<bool>("renamedOver"); // a new file saved over the name, or the same file rewritten
    QTest::addColumn<bool>("link"); // the name swapped for a link to the compared bytes

    QTest::newRow("rewritten, same size") << QByteArray("other") << false << false;
    QTest::newRow("saved over by rename") << QByteArray("same!") << true << false;
    QTest::newRow("swapped for a link") << QByteArray("same!") << true << true;
}

void TestFileSystem::changedAfterComparison()
{
    QFETCH(QByteArray, replacement);
    QFETCH(bool, renamedOver);
    QFETCH(bool, link);
    QTemporaryDir dir;
    const QString source = dir.filePath("char_icon.png");
    QVERIFY(writeFile(source, "same!"));
    QVERIFY(writeFile(dir.filePath("actor.png"), "same!"));

    DiskFileSystem files;
    ComparedSource seen;
    QCOMPARE(files.compare(source, dir.filePath("actor.png"), &seen), FileComparison::Identical);
    QTest::qWait(20); // a later modification time
    if (link) {
        // The compared file moves away; a link to it takes its name.
        QVERIFY(::rename(QFile::encodeName(source), QFile::encodeName(dir.filePath("kept"))) == 0);
        QVERIFY(QFile::link("kept", source));
    } else if (renamedOver) {
        QVERIFY(writeFile(dir.filePath("new"), replacement));
        QVERIFY(::rename(QFile::encodeName(dir.filePath("new")), QFile::encodeName(source)) == 0);
    } else {
        QVERIFY(writeFile(source, replacement));
    }
    FileError reason;
    QVERIFY(!files.removeCompared(source, dir.filePath("actor.png"), seen, &reason));
    QCOMPARE(readFile(source), replacement); // what was never compared is never deleted
}

void TestFileSystem::specialFilesAreNotOpened_data()
{
    QTest::addColumn<QString>("special");
    QTest::newRow("FIFO") << "fifo";
    QTest::newRow("link to a device") << "device";
}

void TestFileSystem::specialFilesAreNotOpened()
{
    QFETCH(QString, special);
    QTemporaryDir dir;
    const QString path = dir.filePath("actor.json");
    if (special == "fifo")
        QVERIFY(::mkfifo(QFile::encodeName(path), 0644) == 0);
    else
        QVERIFY(QFile::link("/dev/zero", path));
    QVERIFY(writeFile(dir.filePath("other"), "x"));

    // Each of these would block for ever, or read an endless stream.
    DiskFileSystem files;
    QByteArray bytes;
    FileError reason;
    QVERIFY(!files.readFile(path, &bytes, &reason));
    QCOMPARE(reason.text, QString("not a regular file"));
    ComparedSource seen;
    QCOMPARE(files.compare(path, dir.filePath("other"), &seen), FileComparison::Unreadable);
    QCOMPARE(files.compare(dir.filePath("other"), path, &seen), FileComparison::Unreadable);
    QVERIFY(files.list(dir.path()).entries.size() == 1); // only "other" is an entry
}

void TestFileSystem::movesNeverReplace()
{
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("a"), "a"));
    QVERIFY(writeFile(dir.filePath("b"), "b"));
    QVERIFY(QFile::link("nowhere", dir.filePath("dangling")));
    DiskFileSystem files;
    FileError reason;
    QVERIFY(!files.move(dir.filePath("a"), dir.filePath("b"), &reason));
    QVERIFY(!files.move(dir.filePath("a"), dir.filePath("dangling"), &reason));
    QCOMPARE(readFile(dir.filePath("b")), QByteArray("b"));
    QCOMPARE(readFile(dir.filePath("a")), QByteArray("a"));
}

void TestFileSystem::reasonsAreToldApart_data()
{
    QTest::addColumn<QString>("from");
    QTest::addColumn<QString>("to");
    QTest::addColumn<int>("code");
    QTest::newRow("no such file") << "missing"
                                  << "b" << ENOENT;
    QTest::newRow("the place is taken") << "a"
                                        << "taken" << EEXIST;
    QTest::newRow("a name past the limit") << "a" << QString(NAME_MAX + 1, 'n') << ENAMETOOLONG;
    QTest::newRow("into a file") << "a"
                                 << "taken/a" << ENOTDIR;
    QTest::newRow("a folder into itself") << "folder"
                                          << "folder/inside" << EINVAL;
}

void TestFileSystem::reasonsAreToldApart()
{
    QFETCH(QString, from);
    QFETCH(QString, to);
    QFETCH(int, code);
    QTemporaryDir dir;
    QVERIFY(writeFile(dir.filePath("a"), "a"));
    QVERIFY(writeFile(dir.filePath("taken"), "t"));
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    DiskFileSystem files;
    FileError reason;
    QVERIFY(!files.move(dir.filePath(from), dir.filePath(to), &reason));
    QCOMPARE(reason.code, code); // the cause, for callers to tell apart
    QCOMPARE(reason.text, QString::fromLocal8Bit(strerror(code))); // and the system's words for it
}

QTEST_GUILESS_MAIN(TestFileSystem)
#include "tst_filesystem.moc"
