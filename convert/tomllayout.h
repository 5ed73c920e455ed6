#pragma once

#include <QByteArray>

#include <string>

// The layout rules of a written description, applied to the TOML library's
// text (UTF-8): one space after every comma that separates the items of an
// inline table or array, an empty line before every array-of-tables header
// except one at the very start, and CR LF after every line. Text inside
// string literals, keys included, is left exactly as it is; a long text that
// the library split over several lines is joined into one line again. Every
// backslash before a line end in a multi-line text counts as the library's
// line continuation: once the library has split a text, its bytes for a
// text's own backslash cannot be told from one before a line break, so such
// backslashes must not reach the library (formatTomlDocument sees to that).
QByteArray layoutTomlText(const std::string &formatted);
