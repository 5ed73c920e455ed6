#pragma once

#include <array>
#include <string_view>

// The colours the log window knows for SGR codes, as "#rrggbb" texts.
namespace AnsiPalette {

using ColourText = std::string_view;

// The sixteen colours of codes 30-37, 40-47 (0-7) and 90-97, 100-107 (8-15).
extern const std::array<ColourText, 16> basePalette;

// The 256 colours of the extended forms "38;5;n" and "48;5;n": the sixteen
// above, the 6x6x6 colour cube and the 24 greys of the xterm palette.
extern const std::array<ColourText, 256> palette256;

} // namespace AnsiPalette
