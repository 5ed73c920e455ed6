// The log window's Changes view and its header: which rows the filter and
// the search let through, and what the header says a run was; and how wide
// a log window opens.

#include "view/changesmodel.h"
#include "view/errormessagetextview.h"
#include "view/vrunlogheader.h"

#include <QScreen>
#include <QVBoxLayout>
#include <QtTest>

class TestVRunLog : public QObject
{
    Q_OBJECT

private slots:
    void filter_data();
    void filter();
    void heading_data();
    void heading();
    void width_data();
    void width();
};

void TestVRunLog::filter_data()
{
    QTest::addColumn<int>("show");
    QTest::addColumn<QString>("search");
    QTest::addColumn<QString>("rows"); // each row's kind and path

    QTest::newRow("all but plain lines") << 0 << ""
                                         << "moved A/a.png|deleted B/b.png|warning B/c.png|error A/d.png";
    QTest::newRow("changes") << 1 << ""
                             << "moved A/a.png|deleted B/b.png";
    QTest::newRow("warnings and errors") << 2 << ""
                                         << "warning B/c.png|error A/d.png";
    QTest::newRow("a character, case aside") << 0 << "b"
                                             << "deleted B/b.png|warning B/c.png";
    QTest::newRow("a name's new place") << 1 << "SPRITES/A"
                                        << "moved A/a.png";
    QTest::newRow("both") << 2 << "a"
                          << "error A/d.png";
}

void TestVRunLog::filter()
{
    QFETCH(int, show);
    QFETCH(QString, search);
    QFETCH(QString, rows);

    Change move{Change::Move, "/c/A/a.png", "/c/A/sprites/a.png", {}, -1, {}};
    Change remove{Change::Delete, "/c/B/b.png", "/c/B/sprites/b.png", {}, -1, {}};
    QVector<LogRecord> records{LogRecord::line("Restructuring A..."),
        LogRecord{LogRecord::Kind::Change, {}, "A", {}, move},
        LogRecord{LogRecord::Kind::Change, {}, "B", {}, remove},
        LogRecord::warning("kept c.png", {"/c/B/c.png", {}, {}}),
        LogRecord::error("cannot move", {{}, "/c/A/d.png", "/c/A/sprites/d.png"})};
    records[3].character = "B";
    records[4].character = "A";
    ChangesModel model;
    model.setRecords(records, "/c");
    ChangesFilter filter;
    filter.setSourceModel(&model);
    filter.setShow(ChangesFilter::Show(show));
    filter.setSearch(search);

    QStringList shown;
    for (int row = 0; row < filter.rowCount(); ++row)
        shown << filter.index(row, ChangesModel::KindColumn).data().toString() + " "
                + filter.index(row, ChangesModel::PathColumn).data().toString();
    QCOMPARE(shown.join('|'), rows);
}

void TestVRunLog::heading_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<bool>("stopped");
    QTest::addColumn<QString>("first");

    QTest::newRow("run") << 0 << false << "Run; journal J.jsonl.";
    QTest::newRow("stopped run") << 0 << true << "Run stopped after 2 of 3 characters; journal J.jsonl.";
    QTest::newRow("preview") << 1 << false << "Preview: nothing was changed.";
    QTest::newRow("undo") << 2 << false << "Undo of the run J.jsonl.";
}

void TestVRunLog::heading()
{
    QFETCH(int, kind);
    QFETCH(bool, stopped);
    QFETCH(QString, first);

    RunLogFacts facts{RunLogFacts::Kind(kind), "J.jsonl", stopped, 2, 3, {5, 1, 2, 4}, 1};
    const QStringList lines = runLogHeading(facts).split('\n');
    QCOMPARE(lines.value(0), first);
    const QString counts = kind == 2 ? "3 changes" : "2 of 3 characters";
    QCOMPARE(lines.value(1), counts + ", 5 moves, 1 deletion, 2 documents, 4 folders, 1 error line");
}

void TestVRunLog::width_data()
{
    // The longest line and the window's width: 0, the width the window asks
    // for; 1, between that and the screen's; 2, wider than the screen.
    QTest::addColumn<int>("longest");
    QTest::addColumn<int>("expected");

    QTest::newRow("short lines keep the usual width") << 0 << 0;
    QTest::newRow("a long error line is shown whole") << 1 << 1;
    QTest::newRow("no wider than the screen") << 2 << 2;
}

void TestVRunLog::width()
{
    QFETCH(int, longest);
    QFETCH(int, expected);

    QWidget window;
    auto *layout = new QVBoxLayout(&window);
    auto *view = new ErrorMessageTextView(&window);
    layout->addWidget(view);
    const int usual = window.sizeHint().width();
    const int screen = QGuiApplication::primaryScreen()->availableGeometry().width();
    const int widths[] = {usual / 4, (usual + screen) / 2 - 20, 3 * screen};
    const QString line(widths[longest] / view->fontMetrics().horizontalAdvance('x'), 'x');
    view->setPlainText("Restructuring Alpha...\n" + line + "\nDone!");
    fitWidthToLog(&window, view);

    const int width = window.width();
    const int needed = view->fontMetrics().horizontalAdvance(line);
    if (expected == 0)
        QCOMPARE(width, usual);
    else if (expected == 1) // any width that holds the line and leaves some of the screen
        QVERIFY2(width > needed && width < screen, qPrintable(QString::number(width)));
    else
        QCOMPARE(width, screen);
}

QTEST_MAIN(TestVRunLog)
#include "tst_vrunlog.moc"
