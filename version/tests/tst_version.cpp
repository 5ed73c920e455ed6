#include "version/versionrecord.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QtTest>

namespace {

VersionNumber number(
    int major, int minor, int patch, const QString &branch, int revision, const QString &build)
{
    VersionNumber version;
    version.major = major;
    version.minor = minor;
    version.patch = patch;
    version.branch = branch;
    version.revision = revision;
    version.build = build;
    return version;
}

QJsonObject jsonObject(const char *json)
{
    return QJsonDocument::fromJson(json).object();
}

// Runs the build identifier script the way the build does.
bool writeBuildId(const QString &sourceDir, const QString &header)
{
    QProcess cmake;
    cmake.start(QStringLiteral(CMAKE_COMMAND),
        {"-DSOURCE_DIR=" + sourceDir, "-DOUTPUT=" + header, "-P", QStringLiteral(BUILD_ID_SCRIPT)});
    return cmake.waitForFinished(60000) && cmake.exitStatus() == QProcess::NormalExit
        && cmake.exitCode() == 0;
}

QByteArray readAll(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

Q_DECLARE_METATYPE(VersionNumber)

class TestVersion : public QObject
{
    Q_OBJECT

private slots:
    void versionText_data();
    void versionText();
    void numberFromJson_data();
    void numberFromJson();
    void recordFromJson();
    void currentRecord();
    void buildIdOutsideGit();
    void buildIdOfThisSource();
};

void TestVersion::versionText_data()
{
    QTest::addColumn<VersionNumber>("version");
    QTest::addColumn<QString>("text");

    QTest::newRow("plain") << number(1, 10, 0, "", 0, "") << "1.10.0";
    QTest::newRow("build only") << number(1, 10, 0, "", 0, "abc") << "1.10.0+build.abc";
    QTest::newRow("revision only") << number(1, 10, 0, "", 2, "") << "1.10.0+rev.2";
    QTest::newRow("revision and build") << number(1, 10, 0, "", 1, "abc1234") << "1.10.0+rev.1-build.abc1234";
    QTest::newRow("master adds nothing") << number(1, 10, 0, "master", 0, "") << "1.10.0";
    QTest::newRow("other branch is beta") << number(1, 10, 0, "feature/x", 0, "") << "1.10.0-beta";
    QTest::newRow("beta before metadata") << number(2, 0, 3, "dev", 4, "ff") << "2.0.3-beta+rev.4-build.ff";
    QTest::newRow("Master is not master") << number(1, 0, 0, "Master", 0, "") << "1.0.0-beta";
    QTest::newRow("negative revision counts") << number(1, 0, 0, "", -1, "") << "1.0.0+rev.-1";
    QTest::newRow("no field width") << number(10, 200, 3000, "", 0, "") << "10.200.3000";
    QTest::newRow("empty") << VersionNumber() << "0.0.0";
}

void TestVersion::versionText()
{
    QFETCH(VersionNumber, version);
    QFETCH(QString, text);
    QCOMPARE(version.toString(), text);
}

void TestVersion::numberFromJson_data()
{
    QTest::addColumn<QByteArray>("json");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("branch");

    QTest::newRow("empty object") << QByteArray("{}") << "0.0.0"
                                  << "";
    QTest::newRow("all fields") << QByteArray(
        R"({"major":3,"minor":1,"patch":4,"branch":"dev","revision":5,"build":"9a"})")
                                << "3.1.4-beta+rev.5-build.9a"
                                << "dev";
    QTest::newRow("wrong types fall back")
        << QByteArray(R"({"major":"3","minor":true,"branch":7,"build":null})") << "0.0.0"
        << "";
    QTest::newRow("keys are exact") << QByteArray(R"({"Major":3,"display_name":"x"})") << "0.0.0"
                                    << "";
}

void TestVersion::numberFromJson()
{
    QFETCH(QByteArray, json);
    QFETCH(QString, text);
    QFETCH(QString, branch);
    const VersionNumber version = VersionNumber::fromJson(QJsonDocument::fromJson(json).object());
    QCOMPARE(version.toString(), text);
    QCOMPARE(version.branch, branch);
}

void TestVersion::recordFromJson()
{
    const VersionRecord record = VersionRecord::fromJson(
        jsonObject(R"({"name":"kit","display_name":"Kit","version":{"major":2,"revision":3}})"));
    QCOMPARE(record.name, QStringLiteral("kit"));
    QCOMPARE(record.displayName, QStringLiteral("Kit"));
    QCOMPARE(record.displayText(), QStringLiteral("Kit (2.0.0+rev.3)"));

    const VersionRecord empty = VersionRecord::fromJson(QJsonObject());
    QVERIFY(empty.name.isEmpty());
    QVERIFY(empty.displayName.isEmpty());
    QCOMPARE(empty.displayText(), QStringLiteral(" (0.0.0)"));
}

void TestVersion::currentRecord()
{
    const VersionRecord record = VersionRecord::current();
    QCOMPARE(record.name, QStringLiteral("nimbo"));
    QCOMPARE(record.displayName, QStringLiteral("Nimbo"));
    QCOMPARE(record.version.major, 1);
    QCOMPARE(record.version.minor, 10);
    QCOMPARE(record.version.patch, 0);
    QCOMPARE(record.version.revision, 1);
    QVERIFY(record.version.branch.isEmpty());
    QVERIFY2(QRegularExpression("^[0-9a-f]{7}$").match(record.version.build).hasMatch(),
        qPrintable(record.version.build));
    QCOMPARE(record.version.toString(), "1.10.0+rev.1-build." + record.version.build);
    QCOMPARE(record.displayText(), "Nimbo (1.10.0+rev.1-build." + record.version.build + ")");
    QCOMPARE(VersionRecord::current().version.build, record.version.build);
}

void TestVersion::buildIdOutsideGit()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString header = dir.filePath("buildid.h");
    QVERIFY(writeBuildId(dir.path(), header));
    QVERIFY(readAll(header).contains("veltraBuildId[] = \"0000000\";"));

    // The same identifier again leaves the header alone, so nothing that
    // includes it is rebuilt.
    QFileInfo before(header);
    const QDateTime written = before.lastModified();
    QFile file(header);
    QVERIFY(file.open(QIODevice::ReadWrite));
    QVERIFY(file.setFileTime(written.addSecs(-3600), QFileDevice::FileModificationTime));
    file.close();
    QVERIFY(writeBuildId(dir.path(), header));
    QCOMPARE(QFileInfo(header).lastModified(), written.addSecs(-3600));
}

// The program carries the commit it was built from: the script's answer for
// this source is the identifier compiled in, unless commits were made since
// the build, in which case the compiled one is behind it.
void TestVersion::buildIdOfThisSource()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString header = dir.filePath("buildid.h");
    QVERIFY(writeBuildId(QStringLiteral(SOURCE_DIR), header));
    const QString built = VersionRecord::current().version.build;
    if (readAll(header).contains(QByteArray("veltraBuildId[] = \"" + built.toLatin1() + "\";")))
        return;
    QProcess git;
    git.start("git", {"-C", QStringLiteral(SOURCE_DIR), "merge-base", "--is-ancestor", built, "HEAD"});
    QVERIFY(git.waitForFinished(60000));
    QVERIFY2(git.exitCode() == 0, readAll(header).constData());
}

QTEST_APPLESS_MAIN(TestVersion)
#include "tst_version.moc"
