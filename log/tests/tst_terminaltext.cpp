// Text from a client, a journal or the command line as a terminal is given it.

#include "log/loglevel.h"
#include "log/terminaltext.h"

#include <QtTest>

class TestTerminalText : public QObject
{
    Q_OBJECT

private slots:
    void shownVisibly_data();
    void shownVisibly();
};

void TestTerminalText::shownVisibly_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("log"); // Shown: the log's text, else Raw
    QTest::addColumn<QString>("expected");

    const QString warning = formatLogLine(LogLevel::Warning, QStringLiteral("a.png"));
    const QString error = formatLogLine(LogLevel::Error, QStringLiteral("b"));
    QTest::newRow("plain text") << QStringLiteral("2026-01-01T00:00:00Z caf\u00e9 \U0001f600") << false
                                << QStringLiteral("2026-01-01T00:00:00Z caf\u00e9 \U0001f600");
    QTest::newRow("a sequence that clears the screen")
        << QStringLiteral("\x1b[2J\x1b]0;title\x07") << false << QStringLiteral("\\x1b[2J\\x1b]0;title\\x07");
    QTest::newRow("CR and LF inside a journal field") << QStringLiteral("2026\r\nveltra-cli: done") << false
                                                      << QStringLiteral("2026\\x0d\\x0aveltra-cli: done");
    QTest::newRow("a right-to-left override")
        << QStringLiteral("gpj.\u202Eexe") << false << QStringLiteral("gpj.\\u202eexe");
    QTest::newRow("every other bidirectional control")
        << QStringLiteral("\u061C\u200E\u200F\u202A\u202B\u202C\u202D\u2066\u2067\u2068\u2069") << false
        << QStringLiteral("\\u061c\\u200e\\u200f\\u202a\\u202b\\u202c\\u202d\\u2066\\u2067\\u2068\\u2069");
    QTest::newRow("format characters that take no room")
        << QStringLiteral("\u200B\u200D\u2060\u2064\u206A\u206F\uFEFF") << false
        << QStringLiteral("\\u200b\\u200d\\u2060\\u2064\\u206a\\u206f\\ufeff");
    QTest::newRow("next to them, shown as they are")
        << QStringLiteral("\u061B\u200A\u2010\u2027\u202F\u2070\uFEFE") << false
        << QStringLiteral("\u061B\u200A\u2010\u2027\u202F\u2070\uFEFE");
    QTest::newRow("line and paragraph separators")
        << QStringLiteral("a\u2028b\u2029") << false << QStringLiteral("a\\u2028b\\u2029");
    QTest::newRow("C1 controls and DEL")
        << QStringLiteral("a\u009bb\u0085\u007f\u00a0") << false << QStringLiteral("a\\x9bb\\x85\\x7f\u00a0");
    QTest::newRow("a lone surrogate, U+FFFD as it is") << QString(QChar(0xd800)) + QChar(0xfffd)
            + QChar(0xdc00) + QLatin1Char('x') << false << QStringLiteral("\\ud800\uFFFD\\udc00x");
    QTest::newRow("a backslash that would read as an escape")
        << QStringLiteral("\\x1b \\u202e \\\\x C:\\Games\\Kit \\") << false
        << QStringLiteral("\\x5cx1b \\x5cu202e \\\\x5cx C:\\Games\\Kit \\");
    QTest::newRow("a backslash before an escape")
        << QStringLiteral("\\\x1b") << false << QStringLiteral("\\\\x1b");
    QTest::newRow("the log's own colours kept")
        << warning + QLatin1Char('\n') + error << true << warning + QLatin1Char('\n') + error;
    QTest::newRow("any other sequence in a log")
        << QStringLiteral("\x1b[33m[WARNING]\x1b[2J\x1b[0\x1b]0;t\r") << true
        << QStringLiteral("\x1b[33m[WARNING]\\x1b[2J\\x1b[0\\x1b]0;t\\x0d");
    QTest::newRow("a log's escapes stay displayName's") << QStringLiteral(
        "Restructuring K\\x1b\u202e...\\u") << true << QStringLiteral("Restructuring K\\x1b\\u202e...\\x5cu");
    QTest::newRow("colours are kept only in a log")
        << warning << false << QStringLiteral("\\x1b[33m[WARNING] \\x1b[0ma.png");
}

void TestTerminalText::shownVisibly()
{
    QFETCH(QString, text);
    QFETCH(bool, log);
    QTEST(terminalText(text, log ? TerminalText::Shown : TerminalText::Raw), "expected");
}

QTEST_GUILESS_MAIN(TestTerminalText)
#include "tst_terminaltext.moc"
