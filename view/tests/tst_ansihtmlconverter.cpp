#include "view/ansihtmlconverter.h"
#include "view/ansipalette.h"

#include <QtTest>

#include <string>

namespace {

const std::string bodyOpening = "<body style=\"background-color:#111111;font-family:'Consolas','Droid Sans "
                                "Mono',monospace; color:#eeeeee; white-space:pre\">";

// Test inputs spell the escape byte as "ESC" and the line feed as "LF".
QByteArray bytes(const char *notation)
{
    QByteArray text(notation);
    text.replace("ESC", "\x1b");
    text.replace("LF", "\n");
    return text;
}

std::string render(AnsiHtmlConverter &converter, const QByteArray &text)
{
    return converter.convert(text.toStdString());
}

// The body without its fixed opening, or the whole output when the opening
// is missing, so a failure shows what came out.
QByteArray rendered(const std::string &html)
{
    if (html.compare(0, bodyOpening.size(), bodyOpening) != 0)
        return QByteArray::fromStdString(html);
    return QByteArray::fromStdString(html.substr(bodyOpening.size()));
}

} // namespace

class TestAnsiHtmlConverter : public QObject
{
    Q_OBJECT

private slots:
    void frame();
    void convert_data();
    void convert();
    void basePalette_data();
    void basePalette();
    void palette256_data();
    void palette256();
    void everyPaletteEntryIsAColour();
    void stateClearedBetweenTexts();
    void sharedConverter();
};

void TestAnsiHtmlConverter::frame()
{
    QCOMPARE(bodyOpening.size(), std::size_t(122));
    AnsiHtmlConverter converter;
    QCOMPARE(converter.convert(std::string()), bodyOpening + "</body>");
}

void TestAnsiHtmlConverter::convert_data()
{
    QTest::addColumn<QByteArray>("input");
    QTest::addColumn<QByteArray>("expected");

    // Log lines as the walk writes them.
    QTest::newRow("error line") << bytes("ESC[31m[ERROR] xESC[0m done")
                                << QByteArray("<font color=\"#de382b\">[ERROR] x</font> done</body>");
    QTest::newRow("warning line")
        << bytes("ESC[33m[WARNING] ESC[0mchar_icon.png is a duplicate of actor.png, char_icon.png has been "
                 "deleted")
        << QByteArray("<font color=\"#ffc706\">[WARNING] </font>char_icon.png is a duplicate of actor.png, "
                      "char_icon.png has been deleted</body>");
    QTest::newRow("lines") << bytes("Restructuring Kit...LFDone!LFLF")
                           << QByteArray("Restructuring Kit...<br />Done!<br /><br /></body>");

    // Escaping.
    QTest::newRow("markup escaped") << bytes("a<b & \"c\" 'd'>")
                                    << QByteArray("a&lt;b &amp; &quot;c&quot; &apos;d&apos;&gt;</body>");
    QTest::newRow("bold tag shown as text") << bytes("<b>x</b>") << QByteArray("&lt;b&gt;x&lt;/b&gt;</body>");
    QTest::newRow("carriage return and tab kept") << bytes("a\r\tb") << QByteArray("a\r\tb</body>");
    QTest::newRow("utf-8 passes through")
        << QByteArray("caf\xc3\xa9 \xe2\x9c\x93") << QByteArray("caf\xc3\xa9 \xe2\x9c\x93</body>");
    QTest::newRow("nul dropped") << QByteArray("a\0b", 3) << QByteArray("ab</body>");
    QTest::newRow("lone brackets and m are text") << bytes("[m] 5;") << QByteArray("[m] 5;</body>");

    // Unfinished and unknown sequences.
    QTest::newRow("unterminated sequence swallows the rest")
        << bytes("a<b & \"c\"LFESC[2Kabc") << QByteArray("a&lt;b &amp; &quot;c&quot;<br /></body>");
    QTest::newRow("unknown final byte swallowed until m")
        << bytes("ESC[2K;31mred") << QByteArray("<font color=\"#de382b\">red</font></body>");
    QTest::newRow("parameters around an unknown final byte join")
        << bytes("ESC[2K31mred") << QByteArray("red</body>");
    QTest::newRow("lone escape drops letters, keeps parameter bytes")
        << bytes("ESCXhi;1<") << QByteArray(";1&lt;</body>");
    QTest::newRow("lone escape then m") << bytes("ESCm") << QByteArray("m</body>");
    QTest::newRow("escape restarts a sequence")
        << bytes("ESC[31ESC[32mx") << QByteArray("<font color=\"#39b54a\">x</font></body>");
    QTest::newRow("line feed inside a sequence dropped")
        << bytes("ESC[1LFmx") << QByteArray("<b>x</b></body>");

    // Emphasis and its closing rules.
    QTest::newRow("bold italic underline strike")
        << bytes("ESC[1;3;4;9mxESC[0my") << QByteArray("<b><i><u><s>x</s></u></i></b>y</body>");
    QTest::newRow("22 closes the most recent tag")
        << bytes("ESC[1mESC[31mxESC[22my") << QByteArray("<b><font color=\"#de382b\">x</font>y</b></body>");
    QTest::newRow("39 after 22 closes the bold") << bytes(
        "ESC[1;31mxESC[22myESC[39mz") << QByteArray("<b><font color=\"#de382b\">x</font>y</b>z</body>");
    QTest::newRow("23 24 29 close their counts") << bytes("ESC[3mESC[4mESC[9mxESC[29myESC[24mzESC[23mw")
                                                 << QByteArray("<i><u><s>x</s>y</u>z</i>w</body>");
    QTest::newRow("closing with nothing open")
        << bytes("ESC[22;23;24;29;39;49;0mx") << QByteArray("x</body>");
    QTest::newRow("two of a kind closed together")
        << bytes("ESC[31mESC[32mxESC[39my")
        << QByteArray("<font color=\"#de382b\"><font color=\"#39b54a\">x</font></font>y</body>");
    QTest::newRow("end closes everything")
        << bytes("ESC[1;3;41mx")
        << QByteArray("<b><i><span style=\"background-color:#de382b\">x</span></i></b></body>");

    // Colour codes.
    QTest::newRow("foreground 37") << bytes("ESC[37mx")
                                   << QByteArray("<font color=\"#cccccc\">x</font></body>");
    QTest::newRow("background 40") << bytes("ESC[40mx")
                                   << QByteArray("<span style=\"background-color:#000000\">x</span></body>");
    QTest::newRow("bright foreground 90 and 97")
        << bytes("ESC[90mxESC[97my")
        << QByteArray("<font color=\"#808080\">x<font color=\"#ffffff\">y</font></font></body>");
    QTest::newRow("bright background 100 and 107")
        << bytes("ESC[100;107mx")
        << QByteArray("<span style=\"background-color:#808080\"><span "
                      "style=\"background-color:#ffffff\">x</span></span></body>");
    QTest::newRow("49 closes the background") << bytes(
        "ESC[44mxESC[49my") << QByteArray("<span style=\"background-color:#006fb8\">x</span>y</body>");
    QTest::newRow("ignored codes") << bytes("ESC[2;5;38;5mx") << QByteArray("x</body>");
    QTest::newRow("codes between the known ones")
        << bytes("ESC[2;8;21;25;28;50;89;98;99;108;255mx") << QByteArray("x</body>");
    QTest::newRow("300 wraps to 44") << bytes(
        "ESC[300mA") << QByteArray("<span style=\"background-color:#006fb8\">A</span></body>");
    QTest::newRow("287 wraps to 31") << bytes("ESC[287mA")
                                     << QByteArray("<font color=\"#de382b\">A</font></body>");

    // Empty parameter lists change nothing; in particular they do not reset.
    QTest::newRow("empty list") << bytes("ESC[1mxESC[my") << QByteArray("<b>xy</b></body>");
    QTest::newRow("only separators") << bytes("ESC[1mxESC[;;my") << QByteArray("<b>xy</b></body>");
    QTest::newRow("leading separator") << bytes("ESC[;1mx") << QByteArray("<b>x</b></body>");
    QTest::newRow("other parameter bytes separate")
        << bytes("ESC[1:3<4mx") << QByteArray("<b><i><u>x</u></i></b></body>");

    // Extended colours.
    QTest::newRow("palette and rgb forms")
        << bytes("ESC[38;5;196mredESC[48;2;1;2;255mbgESC[m")
        << QByteArray(
               "<font color=\"#ff0000\">red<span style=\"background-color:#0102ff\">bg</span></font></body>");
    QTest::newRow("palette background")
        << bytes("ESC[48;5;232mx") << QByteArray("<span style=\"background-color:#080808\">x</span></body>");
    QTest::newRow("rgb foreground") << bytes("ESC[38;2;171;205;239mx")
                                    << QByteArray("<font color=\"#abcdef\">x</font></body>");
    QTest::newRow("extended then more codes")
        << bytes("ESC[38;5;16;1mx") << QByteArray("<font color=\"#000000\"><b>x</b></font></body>");
    QTest::newRow("palette index wraps")
        << bytes("ESC[38;5;452mx") << QByteArray("<font color=\"#ff0000\">x</font></body>");
    QTest::newRow("38;5 without an index") << bytes("ESC[38;5mX") << QByteArray("X</body>");
    QTest::newRow("incomplete 38 ends the list after bold")
        << bytes("ESC[1;38;5mt") << QByteArray("<b>t</b></body>");
    QTest::newRow("incomplete 38 drops what follows")
        << bytes("ESC[38;5m ESC[38;2;1;2mx ESC[38mESC[38;7;1mESC[38;2;1;2;1m")
        << QByteArray(" x <font color=\"#010201\"></font></body>");
    QTest::newRow("48 alone") << bytes("ESC[48mx") << QByteArray("x</body>");
    QTest::newRow("48;2 short") << bytes("ESC[48;2;1;2;mx") << QByteArray("x</body>");
    QTest::newRow("48 with unknown form ends the list")
        << bytes("ESC[48;3;1;1;1;1mx") << QByteArray("x</body>");
    QTest::newRow("38;2 takes five, then the rest")
        << bytes("ESC[38;2;0;0;0;4mx") << QByteArray("<font color=\"#000000\"><u>x</u></font></body>");
}

void TestAnsiHtmlConverter::convert()
{
    QFETCH(QByteArray, input);
    QFETCH(QByteArray, expected);
    AnsiHtmlConverter converter;
    QCOMPARE(rendered(render(converter, input)), expected);
}

void TestAnsiHtmlConverter::basePalette_data()
{
    QTest::addColumn<int>("code");
    QTest::addColumn<QByteArray>("colour");

    const char *const colours[]
        = {"#000000", "#de382b", "#39b54a", "#ffc706", "#006fb8", "#762671", "#2cb5e9", "#cccccc", "#808080",
            "#ff0000", "#00ff00", "#ffff00", "#0000ff", "#ff00ff", "#00ffff", "#ffffff"};
    for (int index = 0; index < 16; ++index) {
        const int code = index < 8 ? 30 + index : 82 + index;
        QTest::addRow("%d", code) << code << QByteArray(colours[index]);
    }
}

// Every foreground code of the base palette, and the matching background
// code ten above it, and the palette form of the same index.
void TestAnsiHtmlConverter::basePalette()
{
    QFETCH(int, code);
    QFETCH(QByteArray, colour);
    AnsiHtmlConverter converter;
    QCOMPARE(rendered(render(converter, bytes("ESC[") + QByteArray::number(code) + "mx")),
        "<font color=\"" + colour + "\">x</font></body>");
    QCOMPARE(rendered(render(converter, bytes("ESC[") + QByteArray::number(code + 10) + "mx")),
        "<span style=\"background-color:" + colour + "\">x</span></body>");
    const int index = code < 90 ? code - 30 : code - 82;
    QCOMPARE(rendered(render(converter, bytes("ESC[38;5;") + QByteArray::number(index) + "mx")),
        "<font color=\"" + colour + "\">x</font></body>");
}

void TestAnsiHtmlConverter::palette256_data()
{
    QTest::addColumn<int>("index");
    QTest::addColumn<QByteArray>("colour");

    QTest::newRow("first of the cube") << 16 << QByteArray("#000000");
    QTest::newRow("cube blue step") << 17 << QByteArray("#00005f");
    QTest::newRow("cube green step") << 22 << QByteArray("#005f00");
    QTest::newRow("cube mixed") << 110 << QByteArray("#87afd7");
    QTest::newRow("cube red") << 196 << QByteArray("#ff0000");
    QTest::newRow("last of the cube") << 231 << QByteArray("#ffffff");
    QTest::newRow("first grey") << 232 << QByteArray("#080808");
    QTest::newRow("middle grey") << 244 << QByteArray("#808080");
    QTest::newRow("last grey") << 255 << QByteArray("#eeeeee");
}

void TestAnsiHtmlConverter::palette256()
{
    QFETCH(int, index);
    QFETCH(QByteArray, colour);
    QCOMPARE(QByteArray::fromStdString(std::string(AnsiPalette::palette256[std::size_t(index)])), colour);
    AnsiHtmlConverter converter;
    QCOMPARE(rendered(render(converter, bytes("ESC[48;5;") + QByteArray::number(index) + "mx")),
        "<span style=\"background-color:" + colour + "\">x</span></body>");
}

void TestAnsiHtmlConverter::everyPaletteEntryIsAColour()
{
    for (std::size_t index = 0; index < AnsiPalette::palette256.size(); ++index) {
        const std::string colour(AnsiPalette::palette256[index]);
        QVERIFY2(QRegularExpression("^#[0-9a-f]{6}$").match(QString::fromStdString(colour)).hasMatch(),
            qPrintable(QString::number(index)));
        if (index < 16)
            QCOMPARE(AnsiPalette::palette256[index], AnsiPalette::basePalette[index]);
    }
}

// What one text leaves open never leaks into the next.
void TestAnsiHtmlConverter::stateClearedBetweenTexts()
{
    AnsiHtmlConverter converter;
    QCOMPARE(rendered(render(converter, bytes("ESC[1;31;44mESC[22mESC[2K"))),
        QByteArray(
            "<b><font color=\"#de382b\"><span style=\"background-color:#006fb8\"></span></font></b></body>"));
    QCOMPARE(rendered(render(converter, bytes("plain"))), QByteArray("plain</body>"));
    QCOMPARE(rendered(render(converter, bytes("ESC[39mxESC[0my"))), QByteArray("xy</body>"));
}

void TestAnsiHtmlConverter::sharedConverter()
{
    QCOMPARE(&ansiHtmlConverter(), &ansiHtmlConverter());
    QCOMPARE(rendered(ansiHtmlConverter().convert("a&b")), QByteArray("a&amp;b</body>"));
}

QTEST_APPLESS_MAIN(TestAnsiHtmlConverter)
#include "tst_ansihtmlconverter.moc"
