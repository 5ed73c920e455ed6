// The report: records in the order they happened, a duplicate's warning only
// with its deletion and just before it, counts by kind, and the character a
// record's first path lies in.

#include "run/report.h"
#include "run/textlog.h"

#include <QtTest>

namespace {

const QString client = QStringLiteral("/c");

Change deletion()
{
    Change change;
    change.kind = Change::Delete;
    change.path = client + "/base/characters/Kit/char_icon.png";
    change.other = client + "/base/characters/Kit/actor.png";
    return change;
}

} // namespace

class TestReport : public QObject
{
    Q_OBJECT

private slots:
    void announcement_data();
    void announcement();
    void character_data();
    void character();
};

// Steps: "announce", "change" (a deletion told by the seam), "keep", "drop", "error".
void TestReport::announcement_data()
{
    QTest::addColumn<QStringList>("steps");
    QTest::addColumn<QStringList>("lines");
    QTest::addColumn<int>("deletions");

    const QString warning = "\x1b[33m[WARNING] \x1b[0mdup";
    const QString deleted = "  deleted char_icon.png (same bytes as actor.png)";
    QTest::newRow("told by the seam: the warning first")
        << QStringList{"announce", "change", "keep"} << QStringList{warning, deleted} << 1;
    QTest::newRow("a seam that tells no one") << QStringList{"announce", "keep"} << QStringList{warning} << 0;
    QTest::newRow("not made: never written")
        << QStringList{"announce", "drop", "error"} << QStringList{"\x1b[31m[ERROR] \x1b[0mno"} << 0;
    QTest::newRow("a dropped warning leaves no trace")
        << QStringList{"announce", "drop", "change"} << QStringList{deleted} << 1;
}

void TestReport::announcement()
{
    QFETCH(QStringList, steps);
    Report report(client + "/", true);
    for (const QString &step : steps) {
        if (step == "announce")
            report.announce(LogRecord::warning("dup", {}));
        else if (step == "change")
            report.change(deletion());
        else if (step == "keep")
            report.keepAnnouncement();
        else if (step == "drop")
            report.dropAnnouncement();
        else
            report.error("no");
    }
    TextForm form;
    form.client = client;
    form.changes = true;
    QTEST(textLines(report.records(), form), "lines");
    QTEST(report.counts().deletions, "deletions");
    QCOMPARE(report.errors(), int(steps.count("error")));
    // Without change lines the text holds the seed's lines alone.
    form.changes = false;
    QCOMPARE(textLines(report.records(), form).filter("  deleted").size(), 0);
}

void TestReport::character_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("character");
    QTest::newRow("an entry of a character") << "/c/base/characters/Kit/a.png"
                                             << "Kit";
    QTest::newRow("the character folder") << "/c/base/characters/Kit"
                                          << "Kit";
    QTest::newRow("the characters folder") << "/c/base/characters"
                                           << "";
    QTest::newRow("outside the client") << "/d/base/characters/Kit/a.png"
                                        << "";
}

void TestReport::character()
{
    QFETCH(QString, path);
    Report report(client);
    report.warning("w", {path, {}, {}});
    report.error("e", {{}, path, "/c/elsewhere"}); // a relocation names its source first
    for (const LogRecord &record : report.records())
        QTEST(record.character, "character");
}

QTEST_GUILESS_MAIN(TestReport)
#include "tst_report.moc"
