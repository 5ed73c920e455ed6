#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

// Renders log text with ANSI SGR colour codes (ESC "[" parameters "m") as the
// HTML body the log window shows: text escaped, line feeds as line breaks,
// colours and emphasis as properly nested elements. Works on UTF-8 bytes;
// bytes from 0x80 up pass through unchanged.
//
// One object serves any number of texts, one after the other: every call of
// convert() closes what it opened. Not for use from two threads at once.
class AnsiHtmlConverter
{
public:
    AnsiHtmlConverter();

    std::string convert(const std::string &text);

private:
    // Index into the open counters; the stack holds these values.
    enum TagKind : int { Bold = 0, Italic, Underline, Strike, Foreground, Background, TagKindCount };

    static std::vector<std::uint8_t> parseSgrParameters(const std::string &parameterBytes);
    void applySgr(const std::vector<std::uint8_t> &codes, std::string &out);
    void closeTags(TagKind counter, std::string &out);
    void closeAllTags(std::string &out);
    void openTag(TagKind kind, std::string_view openingText, std::string &out);
    void openColourTag(TagKind kind, std::string_view colour, std::string &out);
    void openRgbTag(TagKind kind, std::uint8_t red, std::uint8_t green, std::uint8_t blue, std::string &out);

    const char m_escape;
    std::deque<int> m_openTags;
    int m_openCounts[TagKindCount];
};

// The process's one converter, created on first use.
AnsiHtmlConverter &ansiHtmlConverter();
