#include "view/htmldocument.h"

#include "view/ansihtmlconverter.h"

namespace {

// What QString::toHtmlEscaped escapes, so a title reads the same in either
// program.
std::string escaped(const std::string &text)
{
    std::string out;
    out.reserve(text.size());
    for (const char c : text) {
        switch (c) {
        case '<':
            out += "&lt;";
            break;
        case '>':
            out += "&gt;";
            break;
        case '&':
            out += "&amp;";
            break;
        case '"':
            out += "&quot;";
            break;
        default:
            out += c;
        }
    }
    return out;
}

} // namespace

std::string htmlLogDocument(const std::string &title, const std::string &ansiText)
{
    return "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>" + escaped(title)
        + "</title>\n</head>\n" + ansiHtmlConverter().convert(ansiText) + "\n</html>\n";
}
