#include "view/ansihtmlconverter.h"

#include "view/ansipalette.h"

#include <cstddef>

using namespace std::string_view_literals;

namespace {

constexpr std::string_view bodyOpening
    = "<body style=\"background-color:#111111;font-family:'Consolas','Droid Sans Mono',monospace; "
      "color:#eeeeee; white-space:pre\">"sv;
constexpr std::string_view lineBreak = "<br />"sv;
constexpr std::string_view bodyClosing = "</body>"sv;

constexpr std::string_view fontOpening = "<font color=\""sv;
constexpr std::string_view spanOpening = "<span style=\"background-color:"sv;
constexpr std::string_view colourClosing = "\">"sv;

// Closing texts by tag kind.
constexpr std::string_view closingTexts[]
    = {"</b>"sv, "</i>"sv, "</u>"sv, "</s>"sv, "</font>"sv, "</span>"sv};

constexpr bool isParameterByte(unsigned char byte)
{
    return byte >= 0x30 && byte <= 0x3f;
}

void appendEscaped(unsigned char byte, std::string &out)
{
    switch (byte) {
    case 0:
        break;
    case '"':
        out.append("&quot;"sv);
        break;
    case '&':
        out.append("&amp;"sv);
        break;
    case '\'':
        out.append("&apos;"sv);
        break;
    case '<':
        out.append("&lt;"sv);
        break;
    case '>':
        out.append("&gt;"sv);
        break;
    default:
        out.push_back(char(byte));
        break;
    }
}

void appendHex(std::uint8_t value, std::string &out)
{
    constexpr char digits[] = "0123456789abcdef";
    out.push_back(digits[value >> 4]);
    out.push_back(digits[value & 0xf]);
}

} // namespace

AnsiHtmlConverter::AnsiHtmlConverter()
    : m_escape(27)
    , m_openCounts{}
{
}

std::string AnsiHtmlConverter::convert(const std::string &text)
{
    std::string out;
    out.reserve(text.size() + bodyOpening.size() + bodyClosing.size());
    out.append(bodyOpening);

    bool inEscape = false;
    bool inSequence = false;
    std::string parameterBytes;

    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == m_escape) {
            // A new escape restarts an unfinished sequence.
            if (inEscape) {
                parameterBytes.clear();
                inSequence = false;
            }
            inEscape = true;
        } else if (c == '[') {
            if (inEscape)
                inSequence = true;
            else
                appendEscaped(byte, out);
        } else if (c == 'm') {
            if (inEscape && inSequence) {
                applySgr(parseSgrParameters(parameterBytes), out);
                parameterBytes.clear();
                inEscape = false;
                inSequence = false;
            } else {
                appendEscaped(byte, out);
            }
        } else if (isParameterByte(byte)) {
            if (inEscape && inSequence)
                parameterBytes.push_back(c);
            else
                appendEscaped(byte, out);
        } else if (inEscape || inSequence) {
            // Only "m" ends a sequence; whatever else it holds is swallowed.
        } else if (c == '\n') {
            out.append(lineBreak);
        } else {
            appendEscaped(byte, out);
        }
    }

    closeAllTags(out);
    out.append(bodyClosing);
    return out;
}

// Numbers are 8-bit and wrap (300 acts as 44); empty fields give no number.
std::vector<std::uint8_t> AnsiHtmlConverter::parseSgrParameters(const std::string &parameterBytes)
{
    std::vector<std::uint8_t> codes;
    std::uint8_t value = 0;
    bool reading = false;
    for (const char c : parameterBytes) {
        if (c >= '0' && c <= '9') {
            value = std::uint8_t(value * 10 + (c - '0'));
            reading = true;
        } else if (reading) {
            codes.push_back(value);
            value = 0;
            reading = false;
        }
    }
    if (reading)
        codes.push_back(value);
    return codes;
}

void AnsiHtmlConverter::applySgr(const std::vector<std::uint8_t> &codes, std::string &out)
{
    std::size_t at = 0;
    while (at < codes.size()) {
        const int code = codes[at];
        const std::size_t left = codes.size() - at;
        if (code == 38 || code == 48) {
            const TagKind kind = code == 38 ? Foreground : Background;
            if (left >= 3 && codes[at + 1] == 5) {
                openColourTag(kind, AnsiPalette::palette256[codes[at + 2]], out);
                at += 3;
            } else if (left >= 5 && codes[at + 1] == 2) {
                openRgbTag(kind, codes[at + 2], codes[at + 3], codes[at + 4], out);
                at += 5;
            } else {
                // An incomplete extended colour ends the whole list.
                return;
            }
            continue;
        }

        if (code == 0)
            closeAllTags(out);
        else if (code == 1)
            openTag(Bold, "<b>"sv, out);
        else if (code == 3)
            openTag(Italic, "<i>"sv, out);
        else if (code == 4)
            openTag(Underline, "<u>"sv, out);
        else if (code == 9)
            openTag(Strike, "<s>"sv, out);
        else if (code == 22)
            closeTags(Bold, out);
        else if (code == 23)
            closeTags(Italic, out);
        else if (code == 24)
            closeTags(Underline, out);
        else if (code == 29)
            closeTags(Strike, out);
        else if (code >= 30 && code <= 37)
            openColourTag(Foreground, AnsiPalette::basePalette[std::size_t(code - 30)], out);
        else if (code == 39)
            closeTags(Foreground, out);
        else if (code >= 40 && code <= 47)
            openColourTag(Background, AnsiPalette::basePalette[std::size_t(code - 40)], out);
        else if (code == 49)
            closeTags(Background, out);
        else if (code >= 90 && code <= 97)
            openColourTag(Foreground, AnsiPalette::basePalette[std::size_t(code - 82)], out);
        else if (code >= 100 && code <= 107)
            openColourTag(Background, AnsiPalette::basePalette[std::size_t(code - 92)], out);
        // Every other code is ignored.
        ++at;
    }
}

// Closes as many tags as the counter holds, taking the most recent ones
// whatever their kind, so the HTML stays nested; only this counter drops.
void AnsiHtmlConverter::closeTags(TagKind counter, std::string &out)
{
    int &count = m_openCounts[counter];
    while (count > 0 && !m_openTags.empty()) {
        out.append(closingTexts[m_openTags.back()]);
        m_openTags.pop_back();
        --count;
    }
}

void AnsiHtmlConverter::closeAllTags(std::string &out)
{
    for (int kind = Bold; kind < TagKindCount; ++kind)
        closeTags(TagKind(kind), out);
}

void AnsiHtmlConverter::openTag(TagKind kind, std::string_view openingText, std::string &out)
{
    out.append(openingText);
    m_openTags.push_back(kind);
    ++m_openCounts[kind];
}

void AnsiHtmlConverter::openColourTag(TagKind kind, std::string_view colour, std::string &out)
{
    out.append(kind == Foreground ? fontOpening : spanOpening);
    out.append(colour);
    openTag(kind, colourClosing, out);
}

void AnsiHtmlConverter::openRgbTag(
    TagKind kind, std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::string &out)
{
    out.append(kind == Foreground ? fontOpening : spanOpening);
    out.push_back('#');
    appendHex(red, out);
    appendHex(green, out);
    appendHex(blue, out);
    openTag(kind, colourClosing, out);
}

AnsiHtmlConverter &ansiHtmlConverter()
{
    static AnsiHtmlConverter converter;
    return converter;
}
