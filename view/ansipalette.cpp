#include "view/ansipalette.h"

#include <cstddef>

namespace AnsiPalette {

namespace {

constexpr std::size_t colourLength = 7; // "#rrggbb"

constexpr ColourText baseColours[16]
    = {"#000000", "#de382b", "#39b54a", "#ffc706", "#006fb8", "#762671", "#2cb5e9", "#cccccc", "#808080",
        "#ff0000", "#00ff00", "#ffff00", "#0000ff", "#ff00ff", "#00ffff", "#ffffff"};

using ColourBytes = std::array<char, colourLength + 1>;

constexpr char hexDigit(int value)
{
    return "0123456789abcdef"[value & 0xf];
}

constexpr ColourBytes rgbText(int red, int green, int blue)
{
    ColourBytes text{};
    text[0] = '#';
    text[1] = hexDigit(red >> 4);
    text[2] = hexDigit(red);
    text[3] = hexDigit(green >> 4);
    text[4] = hexDigit(green);
    text[5] = hexDigit(blue >> 4);
    text[6] = hexDigit(blue);
    return text;
}

// Entries 16-255 follow the xterm rule: a colour cube with the six levels
// below, then a grey ramp from 0x08 in steps of ten.
constexpr ColourBytes xtermColour(int index)
{
    constexpr int levels[6] = {0x00, 0x5f, 0x87, 0xaf, 0xd7, 0xff};
    if (index < 232) {
        const int m = index - 16;
        return rgbText(levels[m / 36], levels[(m / 6) % 6], levels[m % 6]);
    }
    const int grey = 8 + 10 * (index - 232);
    return rgbText(grey, grey, grey);
}

constexpr std::array<ColourBytes, 256> buildXtermTable()
{
    std::array<ColourBytes, 256> table{};
    for (int index = 16; index < 256; ++index)
        table[std::size_t(index)] = xtermColour(index);
    return table;
}

// Worked out by the compiler: the program never formats a palette colour.
constexpr std::array<ColourBytes, 256> xtermTable = buildXtermTable();

constexpr std::array<ColourText, 16> buildBasePalette()
{
    std::array<ColourText, 16> table{};
    for (std::size_t index = 0; index < table.size(); ++index)
        table[index] = baseColours[index];
    return table;
}

constexpr std::array<ColourText, 256> buildPalette256()
{
    std::array<ColourText, 256> table{};
    for (std::size_t index = 0; index < 16; ++index)
        table[index] = baseColours[index];
    for (std::size_t index = 16; index < table.size(); ++index)
        table[index] = ColourText(xtermTable[index].data(), colourLength);
    return table;
}

} // namespace

constexpr std::array<ColourText, 16> basePalette = buildBasePalette();
constexpr std::array<ColourText, 256> palette256 = buildPalette256();

} // namespace AnsiPalette
