// The log's ANSI-to-HTML rendering: any bytes, no crash, and one converter
// serves text after text: every call closes what it opened, so converting a
// text again, or with a fresh converter, gives the same HTML.

#include "fuzz/fuzzsupport.h"
#include "view/ansihtmlconverter.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static AnsiHtmlConverter shared;
    const std::string text(reinterpret_cast<const char *>(data), size);
    const std::string first = shared.convert(text);
    const std::string again = shared.convert(text);
    Fuzz::require(first == again, "a second conversion gives the same HTML");
    Fuzz::require(AnsiHtmlConverter().convert(text) == first, "a fresh converter gives the same HTML");
    return 0;
}
