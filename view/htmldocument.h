#pragma once

#include <string>

// The log as one complete HTML document, as `veltra-cli --html` writes it and
// the window saves it: `title` (UTF-8 text, escaped here) and `ansiText`, the
// log's coloured text, rendered as the window shows it.
std::string htmlLogDocument(const std::string &title, const std::string &ansiText);
