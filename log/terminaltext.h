#pragma once

#include <QString>

#include <cstdio>

// What a text handed to terminalText already is.
enum class TerminalText {
    // Text as it came: a journal's field, an argument, a path. Every control
    // character is shown, a line feed too.
    Raw,
    // Text that names reach only through displayName: the log, its lines
    // joined with line feeds and coloured with the log's own codes. Its
    // "\xNN" are displayName's and stay as they are, so a terminal shows the
    // text a file holds; its line feeds and its colour codes stay too.
    Shown,
};

// The text as a terminal may be given it, the way ls quotes a name there:
// nothing in it can move the cursor, clear the screen, set the title, start
// a line or turn the text around. C0 and C1 control characters and DEL are
// written as "\xNN"; bidirectional controls (U+061C, U+200E, U+200F,
// U+202A-U+202E, U+2066-U+2069), the line and paragraph separators (which
// start a line in a text view), the format characters that take no room
// (U+200B-U+200D, U+2060-U+2064, U+206A-U+206F, U+FEFF) and lone surrogates
// as "\uNNNN". U+FFFD stays
// as it is: it is how text already shows what could not be decoded.
//
// Every "\x" and "\u" in the result is an escape: a backslash that an "x" or
// "u" follows is itself written as "\x5c". Any other backslash
// (C:\Games\Kit) stays single, so ordinary text reads as it is. In Shown text
// only a backslash before "u" is written so, since a "\x" there is already
// displayName's.
QString terminalText(const QString &text, TerminalText kind);

// terminalText where `stream` is a terminal, the text unchanged elsewhere
// (a file or a pipe gets exactly what it always got).
QString terminalTextFor(std::FILE *stream, const QString &text, TerminalText kind);
