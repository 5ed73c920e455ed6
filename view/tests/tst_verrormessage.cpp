#include "view/errormessagetextview.h"
#include "view/verrormessage.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QStyle>
#include <QTextBlock>
#include <QTextCursor>
#include <QTranslator>
#include <QtTest>

namespace {

// Stands in for a translation of the log window's texts.
class WindowTranslator : public QTranslator
{
public:
    bool isEmpty() const override { return false; }
    QString translate(const char *context, const char *sourceText, const char *disambiguation = nullptr,
        int n = -1) const override
    {
        Q_UNUSED(disambiguation)
        Q_UNUSED(n)
        if (qstrcmp(context, "VErrorMessage") != 0)
            return QString();
        if (qstrcmp(sourceText, "&OK") == 0)
            return QStringLiteral("&Fine");
        if (qstrcmp(sourceText, "&Show this message again") == 0)
            return QStringLiteral("&Again");
        return QString();
    }
};

QPushButton *okButton(VErrorMessage *window)
{
    return window->findChild<QPushButton *>();
}

QTextEdit *textView(VErrorMessage *window)
{
    return window->findChild<QTextEdit *>();
}

QColor foregroundAt(QTextEdit *view, const QString &text)
{
    const int at = view->toPlainText().indexOf(text);
    if (at < 0)
        return QColor();
    QTextCursor cursor(view->document());
    cursor.setPosition(at + 1);
    return cursor.charFormat().foreground().color();
}

} // namespace

class TestVErrorMessage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();

    void oneInstance();
    void layout();
    void hiddenCheckedBox();
    void okButtonHasFocus();
    void emptyMessageDropped();
    void queue();
    void sameTextShownTwice();
    void rendersColouredHtml();
    void markupShownAsText_data();
    void markupShownAsText();
    void closingMovesOn_data();
    void closingMovesOn();
    void suppressionWhenBoxCleared();
    void languageChange();
    void newInstanceAfterDelete();
    void secondDialogHasItsOwnContent();
    void undoOffer_data();
    void undoOffer();
    void undoOfferGoesWithItsLog();
    void opensAtTheEnd_data();
    void opensAtTheEnd();
};

void TestVErrorMessage::initTestCase()
{
    QCoreApplication::setApplicationName(QStringLiteral("nimbo"));
}

// Every test starts from a hidden window with nothing waiting.
void TestVErrorMessage::cleanup()
{
    VErrorMessage *window = VErrorMessage::instance();
    while (window->isVisible())
        okButton(window)->click();
}

void TestVErrorMessage::oneInstance()
{
    VErrorMessage *window = VErrorMessage::instance();
    QVERIFY(window);
    QCOMPARE(VErrorMessage::instance(), window);
    QCOMPARE(window->windowTitle(), QStringLiteral("nimbo"));
    QVERIFY(!window->isVisible());
    QVERIFY(!window->parent());
    QVERIFY(!window->isModal());
}

void TestVErrorMessage::layout()
{
    VErrorMessage *window = VErrorMessage::instance();
    QCOMPARE(window->findChildren<QPushButton *>().size(), 1);
    QCOMPARE(okButton(window)->text(), QStringLiteral("&OK"));

    const QList<QLabel *> labels = window->findChildren<QLabel *>(QString(), Qt::FindDirectChildrenOnly);
    QCOMPARE(labels.size(), 1);
    QLabel *icon = labels.first();
    const QPixmap pixmap = icon->pixmap(Qt::ReturnByValue);
    QVERIFY(!pixmap.isNull());
    // QMessageBox::standardIcon(QMessageBox::Information), deprecated in Qt 6.
    QStyle *style = QApplication::style();
    const int iconSize = style->pixelMetric(QStyle::PM_MessageBoxIconSize);
    QCOMPARE(pixmap.toImage(),
        style->standardIcon(QStyle::SP_MessageBoxInformation).pixmap(QSize(iconSize, iconSize)).toImage());
    QCOMPARE(icon->alignment(), Qt::AlignHCenter | Qt::AlignTop);

    auto *view = qobject_cast<ErrorMessageTextView *>(textView(window));
    QVERIFY(view);
    QVERIFY(view->isReadOnly());
    QCOMPARE(view->lineWrapMode(), QTextEdit::WidgetWidth);
    QCOMPARE(view->sizeHint(), QSize(640, 200));
    QCOMPARE(view->minimumSizeHint(), QSize(50, 50));

    auto *grid = qobject_cast<QGridLayout *>(window->layout());
    QVERIFY(grid);
    QCOMPARE(grid->itemAtPosition(0, 0)->widget(), icon);
    QCOMPARE(grid->itemAtPosition(0, 1)->widget(), view);
    QCOMPARE(grid->itemAtPosition(1, 1)->widget(), window->findChild<QCheckBox *>());
    QCOMPARE(grid->itemAtPosition(2, 0)->widget(), okButton(window));
    QCOMPARE(grid->itemAtPosition(2, 1)->widget(), okButton(window));
    QCOMPARE(grid->itemAtPosition(2, 0)->alignment(), Qt::AlignCenter);
}

void TestVErrorMessage::hiddenCheckedBox()
{
    VErrorMessage *window = VErrorMessage::instance();
    window->showMessage(QStringLiteral("hello"));
    auto *box = window->findChild<QCheckBox *>();
    QVERIFY(box);
    QVERIFY(box->isChecked());
    QVERIFY(!box->isEnabled());
    QVERIFY(box->isHidden());
    QVERIFY(!box->isVisible());
    QCOMPARE(box->text(), QStringLiteral("&Show this message again"));
}

void TestVErrorMessage::okButtonHasFocus()
{
    VErrorMessage *window = VErrorMessage::instance();
    window->showMessage(QStringLiteral("hello"));
    QVERIFY(window->isVisible());
    QCOMPARE(window->focusWidget(), okButton(window));
}

void TestVErrorMessage::emptyMessageDropped()
{
    VErrorMessage *window = VErrorMessage::instance();
    window->showMessage(QString());
    window->showMessage(QString(), QStringLiteral("type"));
    QVERIFY(!window->isVisible());
    // Nothing was queued: a real message now is the only one.
    window->showMessage(QStringLiteral("real"));
    QVERIFY(window->isVisible());
    okButton(window)->click();
    QVERIFY(!window->isVisible());
}

void TestVErrorMessage::queue()
{
    VErrorMessage *window = VErrorMessage::instance();
    window->showMessage(QStringLiteral("first"));
    window->showMessage(QStringLiteral("second"), QStringLiteral("note"));
    QVERIFY(window->isVisible());
    QCOMPARE(textView(window)->toPlainText(), QStringLiteral("first"));

    okButton(window)->click();
    QVERIFY(window->isVisible());
    QCOMPARE(textView(window)->toPlainText(), QStringLiteral("second"));

    okButton(window)->click();
    QVERIFY(!window->isVisible());
    QCOMPARE(window->result(), int(QDialog::Accepted));
}

void TestVErrorMessage::sameTextShownTwice()
{
    VErrorMessage *window = VErrorMessage::instance();
    for (int round = 0; round < 2; ++round) {
        window->showMessage(QStringLiteral("again"));
        QVERIFY2(window->isVisible(), qPrintable(QString::number(round)));
        QCOMPARE(textView(window)->toPlainText(), QStringLiteral("again"));
        okButton(window)->click();
        QVERIFY(!window->isVisible());
    }
}

void TestVErrorMessage::rendersColouredHtml()
{
    VErrorMessage *window = VErrorMessage::instance();
    window->showMessage(QStringLiteral("Restructuring Kit...\n\x1b[33m[WARNING] \x1b[0mdup\n"
                                       "\x1b[31m[ERROR] \x1b[0mdiffer\nDone!\n"));
    QTextEdit *view = textView(window);
    QCOMPARE(
        view->toPlainText(), QStringLiteral("Restructuring Kit...\n[WARNING] dup\n[ERROR] differ\nDone!\n"));
    QCOMPARE(foregroundAt(view, "[WARNING]"), QColor("#ffc706"));
    QCOMPARE(foregroundAt(view, "[ERROR]"), QColor("#de382b"));
    QCOMPARE(foregroundAt(view, "dup"), QColor("#eeeeee"));
}

void TestVErrorMessage::markupShownAsText_data()
{
    QTest::addColumn<QString>("message");
    QTest::addColumn<QString>("shown");
    QTest::newRow("markup") << QStringLiteral("<b>bold?</b> & caf\u00e9")
                            << QStringLiteral("<b>bold?</b> & caf\u00e9");
    QTest::newRow("a right-to-left override") << QStringLiteral("<b>Restructuring gpj.\u202eexe...")
                                              << QStringLiteral("<b>Restructuring gpj.\\u202eexe...");
}

void TestVErrorMessage::markupShownAsText()
{
    QFETCH(QString, message);
    VErrorMessage *window = VErrorMessage::instance();
    window->showMessage(message);
    QTextEdit *view = textView(window);
    QTEST(view->toPlainText(), "shown");
    QTextCursor cursor(view->document());
    cursor.setPosition(4);
    QVERIFY(cursor.charFormat().fontWeight() != QFont::Bold);
}

void TestVErrorMessage::closingMovesOn_data()
{
    QTest::addColumn<bool>("escape");
    QTest::newRow("Esc") << true;
    QTest::newRow("close") << false;
}

// Esc and the window's close button confirm a message as OK does.
void TestVErrorMessage::closingMovesOn()
{
    QFETCH(bool, escape);
    VErrorMessage *window = VErrorMessage::instance();
    window->showMessage(QStringLiteral("one"));
    window->showMessage(QStringLiteral("two"));
    if (escape)
        QTest::keyClick(window, Qt::Key_Escape);
    else
        window->close();
    QVERIFY(window->isVisible());
    QCOMPARE(textView(window)->toPlainText(), QStringLiteral("two"));
    if (escape)
        QTest::keyClick(window, Qt::Key_Escape);
    else
        window->close();
    QVERIFY(!window->isVisible());
}

// The box is never cleared by a user; if it were, what was confirmed would
// not be shown again, by type when it has one.
void TestVErrorMessage::suppressionWhenBoxCleared()
{
    VErrorMessage window;
    auto *box = window.findChild<QCheckBox *>();
    auto *ok = window.findChild<QPushButton *>();
    box->setChecked(false);

    window.showMessage(QStringLiteral("plain"));
    ok->click();
    window.showMessage(QStringLiteral("plain"));
    QVERIFY(!window.isVisible());

    window.showMessage(QStringLiteral("typed"), QStringLiteral("kind"));
    ok->click();
    window.showMessage(QStringLiteral("other text"), QStringLiteral("kind"));
    QVERIFY(!window.isVisible());
    // The typed message's text is not suppressed on its own.
    window.showMessage(QStringLiteral("typed"));
    QVERIFY(window.isVisible());
    QCOMPARE(window.findChild<QTextEdit *>()->toPlainText(), QStringLiteral("typed"));
}

void TestVErrorMessage::languageChange()
{
    VErrorMessage *window = VErrorMessage::instance();
    auto *box = window->findChild<QCheckBox *>();
    QEvent change(QEvent::LanguageChange);
    QApplication::sendEvent(window, &change);
    QCOMPARE(okButton(window)->text(), QStringLiteral("&OK"));

    WindowTranslator translator;
    QVERIFY(QCoreApplication::installTranslator(&translator));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(okButton(window)->text(), QStringLiteral("&Fine"));
    QCOMPARE(box->text(), QStringLiteral("&Again"));
    QVERIFY(QCoreApplication::removeTranslator(&translator));
    QCoreApplication::sendPostedEvents();
    QCOMPARE(okButton(window)->text(), QStringLiteral("&OK"));
}

// A window made after the first one was deleted is a whole window.
void TestVErrorMessage::newInstanceAfterDelete()
{
    QPointer<VErrorMessage> first = VErrorMessage::instance();
    first->showMessage(QStringLiteral("pending"));
    delete first;
    QVERIFY(first.isNull());

    VErrorMessage *second = VErrorMessage::instance();
    QVERIFY(second);
    QVERIFY(!second->isVisible());
    QCOMPARE(second->windowTitle(), QStringLiteral("nimbo"));
    QVERIFY(okButton(second));
    second->showMessage(QStringLiteral("after"));
    QVERIFY(second->isVisible());
    QCOMPARE(textView(second)->toPlainText(), QStringLiteral("after"));
}

void TestVErrorMessage::secondDialogHasItsOwnContent()
{
    VErrorMessage *window = VErrorMessage::instance();
    VErrorMessage other;
    QVERIFY(okButton(&other));
    QVERIFY(okButton(&other) != okButton(window));
    other.showMessage(QStringLiteral("elsewhere"));
    QVERIFY(other.isVisible());
    QVERIFY(!window->isVisible());
    QCOMPARE(textView(&other)->toPlainText(), QStringLiteral("elsewhere"));
    QVERIFY(VErrorMessage::instance() == window);
}

namespace {

QPushButton *undoButton(VErrorMessage *window)
{
    for (QPushButton *button : window->findChildren<QPushButton *>()) {
        if (button->text() == QStringLiteral("&Undo this run"))
            return button;
    }
    return nullptr;
}

} // namespace

void TestVErrorMessage::undoOffer_data()
{
    QTest::addColumn<QString>("journal");
    QTest::addColumn<QString>("press"); // "undo", "ok", "return" or "escape"
    QTest::addColumn<QStringList>("requested");
    const QString journal = "/c/veltra-journal/20261207T191700Z.jsonl";
    QTest::newRow("Undo asks for the run's journal") << journal << "undo" << QStringList{journal};
    QTest::newRow("OK does not") << journal << "ok" << QStringList{};
    QTest::newRow("Return is OK, not undo") << journal << "return" << QStringList{};
    QTest::newRow("Esc is not undo") << journal << "escape" << QStringList{};
    QTest::newRow("no journal: no offer") << QString() << "ok" << QStringList{};
}

void TestVErrorMessage::undoOffer()
{
    QFETCH(QString, journal);
    QFETCH(QString, press);
    QFETCH(QStringList, requested);

    VErrorMessage window;
    QSignalSpy undo(&window, &VErrorMessage::undoRequested);
    QSignalSpy finished(&window, &QDialog::finished);
    window.showLog("Restructuring A...\nDone!\n", journal, false);
    QVERIFY(window.isVisible());
    QPushButton *button = undoButton(&window);
    QCOMPARE(button && button->isVisible(), !journal.isEmpty());
    if (button)
        QVERIFY(!button->isDefault() && !button->autoDefault());

    if (press == "undo")
        QTest::mouseClick(button, Qt::LeftButton);
    else if (press == "ok")
        QTest::mouseClick(okButton(&window), Qt::LeftButton);
    else
        QTest::keyClick(&window, press == "return" ? Qt::Key_Return : Qt::Key_Escape);

    QStringList asked;
    for (const QList<QVariant> &signal : undo)
        asked << signal.first().toString();
    QCOMPARE(asked, requested);
    QVERIFY(!window.isVisible());
    QCOMPARE(finished.size(), 1); // the log is closed either way
}

void TestVErrorMessage::undoOfferGoesWithItsLog()
{
    VErrorMessage window;
    QSignalSpy undo(&window, &VErrorMessage::undoRequested);
    window.showLog("the run", "/c/veltra-journal/a.jsonl", false);
    window.showLog("the second run", "/c/veltra-journal/b.jsonl", false);
    window.showMessage("a message");
    QTest::mouseClick(okButton(&window), Qt::LeftButton);
    QCOMPARE(textView(&window)->toPlainText(), "the second run");
    QTest::mouseClick(undoButton(&window), Qt::LeftButton);
    QCOMPARE(undo.size(), 1);
    QCOMPARE(undo.first().first().toString(), "/c/veltra-journal/b.jsonl");
    QCOMPARE(textView(&window)->toPlainText(), "a message");
    QVERIFY(!undoButton(&window)->isVisible());
}

void TestVErrorMessage::opensAtTheEnd_data()
{
    QTest::addColumn<bool>("atEnd");
    QTest::newRow("a stopped run: at its last line") << true;
    QTest::newRow("any other: at its first") << false;
}

void TestVErrorMessage::opensAtTheEnd()
{
    QFETCH(bool, atEnd);
    QStringList lines;
    for (int i = 1; i <= 300; ++i)
        lines << QStringLiteral("Restructuring %1...").arg(i);
    lines << "Stopped after 300 of 900 characters.";

    VErrorMessage window;
    window.showLog(lines.join('\n'), QString(), atEnd);
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    QScrollBar *bar = textView(&window)->verticalScrollBar();
    QTRY_VERIFY(bar->maximum() > 0);
    if (atEnd)
        QTRY_COMPARE(bar->value(), bar->maximum());
    else {
        QTest::qWait(50);
        QCOMPARE(bar->value(), 0);
    }
}

QTEST_MAIN(TestVErrorMessage)
#include "tst_verrormessage.moc"
