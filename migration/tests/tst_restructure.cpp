// The walk in process, with the conversion replaced by a recorder: what the
// conversion is handed, when, and where its lines land in the log.

#include "journal/journalformat.h"
#include "log/loglevel.h"
#include "migration/restructure.h"
#include "migration/survey.h"
#include "testsupport/testrun.h"
#include "testsupport/treefixture.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

Q_DECLARE_METATYPE(LineSubject)

class TestRestructure : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();
    void conversionInput();
    void conversionRunsBeforeRelocation();
    void progress();
    void emptyClient();
    void lineRecords_data();
    void lineRecords();
    void chosenCharacters();
    void looksMigrated_data();
    void looksMigrated();

private:
    QTemporaryDir *m_client = nullptr;
    QString m_previous;
};

void TestRestructure::init()
{
    m_previous = QDir::currentPath();
    m_client = new QTemporaryDir;
    QVERIFY(QDir::setCurrent(m_client->path()));
}

void TestRestructure::cleanup()
{
    QDir::setCurrent(m_previous);
    delete m_client;
}

void TestRestructure::conversionInput()
{
    QVERIFY(TreeFixture::build(".",
        {"base/characters/Kit/extra.ini=", "base/characters/Kit/char.ini=", "base/characters/Kit/CHAR.INI=",
            "base/characters/Kit/sub/deep.ini=", "base/characters/Kit/.hidden.ini=",
            "base/characters/Empty/"}));
    QList<QStringList> calls;
    TestRun run(".");
    restructureCharacterFolders(run.context, [&calls](RunContext &context, const QStringList &paths) {
        calls.append(paths);
        context.report.line("converted " + QString::number(paths.size()));
        context.report.line("second line");
    });
    const QStringList log = run.lines();

    const QString kit = QDir::currentPath() + "/base/characters/Kit/";
    QCOMPARE(calls.size(), 2);
    QCOMPARE(calls.at(0), QStringList()); // Empty comes first, and is still handed over
    QCOMPARE(calls.at(1), (QStringList{kit + "char.ini", kit + "extra.ini"}));
    QCOMPARE(log,
        (QStringList{"Restructuring Empty...", "converted 0", "second line", "Done!\n",
            "Restructuring Kit...", "converted 2", "second line", "Done!\n"}));
    QCOMPARE(joinLog(log),
        QString("Restructuring Empty...\nconverted 0\nsecond line\nDone!\n\n"
                "Restructuring Kit...\nconverted 2\nsecond line\nDone!\n"));
}

void TestRestructure::conversionRunsBeforeRelocation()
{
    // The legacy icon check looks into "emotions" before it becomes "resources".
    QVERIFY(
        TreeFixture::build(".", {"base/characters/Kit/emotions/1.png=e", "base/characters/Kit/char.ini="}));
    bool sawEmotions = false;
    TestRun run(".");
    restructureCharacterFolders(run.context, [&sawEmotions](RunContext &, const QStringList &) {
        sawEmotions = QFile::exists("base/characters/Kit/emotions/1.png");
    });
    QVERIFY(sawEmotions);
    QVERIFY(QFile::exists("base/characters/Kit/resources/1.png"));
}

void TestRestructure::progress()
{
    QVERIFY(TreeFixture::build(".", {"base/characters/b/", "base/characters/A/", "base/characters/c.txt="}));
    QStringList reports;
    WalkHooks hooks;
    hooks.progress = [&reports](int done, int total, const QString &name) {
        reports.append(QString("%1/%2 %3").arg(done).arg(total).arg(name));
    };
    TestRun run(".");
    restructureCharacterFolders(run.context, LegacyConverter(), hooks);
    QCOMPARE(reports, (QStringList{"0/2 A", "1/2 b"}));
}

void TestRestructure::emptyClient()
{
    int calls = 0;
    TestRun run(".");
    restructureCharacterFolders(run.context, [&calls](RunContext &, const QStringList &) { ++calls; });
    QVERIFY(run.report.isEmpty());
    QCOMPARE(calls, 0);
}

void TestRestructure::lineRecords_data()
{
    QTest::addColumn<LineSubject>("subject");
    QTest::addColumn<QString>("places"); // what the record holds after its text

    QTest::newRow("an entry of a character") << LineSubject{"/c/base/characters/Kit/sprites/a.png", {},
        {}} << ",\"character\":\"Kit\",\"path\":\"base/characters/Kit/sprites/a.png\"}";
    QTest::newRow("a character folder") << LineSubject{"/c/base/characters/Kit", {}, {}}
                                        << ",\"character\":\"Kit\",\"path\":\"base/characters/Kit\"}";
    QTest::newRow("the characters folder")
        << LineSubject{"/c/base/characters", {}, {}} << ",\"character\":null,\"path\":\"base/characters\"}";
    QTest::newRow("a client named like its folders") << LineSubject{
        "/c/c/base/characters/K", {}, {}} << ",\"character\":null,\"path\":\"c/base/characters/K\"}";
    QTest::newRow("a relocation") << LineSubject{{}, "/c/base/characters/K/shouts/x.png",
        "/c/base/characters/K/shouts/sprites/x.png"}
                                  << ",\"character\":\"K\",\"from\":\"base/characters/K/shouts/x.png\","
                                     "\"to\":\"base/characters/K/shouts/sprites/x.png\"}";
    QTest::newRow("about nothing") << LineSubject{} << ",\"character\":null}";
}

void TestRestructure::lineRecords()
{
    QFETCH(LineSubject, subject);
    QFETCH(QString, places);
    Report report("/c/");
    report.warning("x \"y\"", subject);
    report.error("x \"y\"", subject);
    QCOMPARE(report.errors(), 1);
    const LogRecord &warning = report.records().first();
    QCOMPARE(textLine(warning, {}), formatLogLine(LogLevel::Warning, "x \"y\""));
    QCOMPARE(QString(outputRecord(warning, "/c/")), "{\"op\":\"warning\",\"text\":\"x \\\"y\\\"\"" + places);
    QCOMPARE(QString(outputRecord(warning, "/c")), "{\"op\":\"warning\",\"text\":\"x \\\"y\\\"\"" + places);
}

void TestRestructure::chosenCharacters()
{
    QVERIFY(TreeFixture::build(
        ".", {"base/characters/Ann/a.png=", "base/characters/Bo/b.png=", "base/characters/Cy/c.png="}));
    TestRun run(".");
    run.context.characters = QStringList{"Cy", "Ann", "Nobody"};
    const WalkOutcome outcome = restructureCharacterFolders(run.context, LegacyConverter());
    QCOMPARE(outcome.total, 2);
    QCOMPARE(
        run.lines().filter("Restructuring"), (QStringList{"Restructuring Ann...", "Restructuring Cy..."}));
    QVERIFY(QFile::exists("base/characters/Bo/b.png"));
    QVERIFY(QFile::exists("base/characters/Cy/sprites/c.png"));
}

void TestRestructure::looksMigrated_data()
{
    QTest::addColumn<QStringList>("entries");
    QTest::addColumn<bool>("migrated");
    QTest::newRow("converted") << QStringList{"char.ini=", "char.toml=", "sprites/"} << true;
    QTest::newRow("made current") << QStringList{"char.toml=", "actor.png="} << true;
    QTest::newRow("dotted names") << QStringList{"a.b.ini=", "a.b.toml="} << true;
    QTest::newRow("a description left") << QStringList{"char.ini=", "char.toml=", "extra.ini="} << false;
    QTest::newRow("legacy only") << QStringList{"char.ini=", "normal.png="} << false;
    QTest::newRow("no description") << QStringList{"sprites/a.png="} << false;
    QTest::newRow("an icon left") << QStringList{"char.toml=", "char_icon.png="} << false;
    QTest::newRow("emotions left") << QStringList{"char.toml=", "emotions/1.png="} << false;
}

void TestRestructure::looksMigrated()
{
    QFETCH(QStringList, entries);
    QFETCH(bool, migrated);
    for (QString &entry : entries)
        entry.prepend("base/characters/Kit/");
    QVERIFY(TreeFixture::build(".", entries + QStringList{"base/characters/Other/"}));
    const QVector<CharacterState> states = surveyCharacters(DiskFileSystem(), QDir::currentPath());
    QCOMPARE(states.size(), 2);
    QCOMPARE(states.at(0).name, QString("Kit"));
    QCOMPARE(states.at(0).migrated, migrated);
    QVERIFY(!states.at(1).migrated);
}

QTEST_GUILESS_MAIN(TestRestructure)
#include "tst_restructure.moc"
