#include "settings/utf8ini.h"

#include <QString>

#include <algorithm>

namespace GsSetting {

namespace {

const QByteArray utf8Mark("\xef\xbb\xbf");

// One logical line of an INI file as QSettings (Qt 5.15 and 6) splits them,
// its readIniLine() step for step: the line's first byte past leading white
// space, its length, and where its first '=' outside quotes is (-1: none).
// Backslash-newline continues a line, quotes span newlines, a ';' that starts
// a line makes it a comment and one outside quotes ends it.
struct IniLine
{
    qsizetype start = 0;
    qsizetype length = 0;
    qsizetype equals = -1;
};

bool isIniSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r';
}

bool isIniSpecial(char c)
{
    return c == '\n' || c == '\r' || c == '"' || c == ';' || c == '=' || c == '\\';
}

// '\n', '\v', '\f' and '\r'.
bool isLineOrPageBreak(char c)
{
    return c >= '\n' && c <= '\r';
}

// What QByteArray::trimmed() takes off.
bool isTrimmed(char c)
{
    return c == ' ' || (c >= '\t' && c <= '\r');
}

bool nextIniLine(const QByteArray &data, qsizetype &pos, IniLine &line)
{
    const qsizetype size = data.size();
    bool inQuotes = false;
    line.equals = -1;
    line.start = pos;
    while (line.start < size && isIniSpace(data.at(line.start)))
        ++line.start;
    qsizetype i = line.start;
    while (i < size) {
        char ch = data.at(i);
        while (!isIniSpecial(ch)) {
            if (++i == size)
                goto done;
            ch = data.at(i);
        }
        ++i;
        if (ch == '=') {
            if (!inQuotes && line.equals == -1)
                line.equals = i - 1;
        } else if (ch == '\n' || ch == '\r') {
            if (i == line.start + 1) {
                ++line.start;
            } else if (!inQuotes) {
                --i;
                goto done;
            }
        } else if (ch == '\\') {
            if (i < size) {
                const char escaped = data.at(i++);
                if (i < size) {
                    const char after = data.at(i);
                    if ((escaped == '\n' && after == '\r') || (escaped == '\r' && after == '\n'))
                        ++i;
                }
            }
        } else if (ch == '"') {
            inQuotes = !inQuotes;
        } else { // ';'
            if (i == line.start + 1) {
                while (i < size && data.at(i) != '\n' && data.at(i) != '\r')
                    ++i;
                while (i < size && isIniSpace(data.at(i)))
                    ++i;
                line.start = i;
            } else if (!inQuotes) {
                --i;
                goto done;
            }
        }
    }
done:
    pos = i;
    line.length = i - line.start;
    return line.length > 0;
}

// A name's bytes with every non-ASCII byte as "%XX", which QSettings reads
// as the Latin-1 character of that byte. So are the line breaks, vertical
// tabs and form feeds a name can hold (after a backslash, or in quotes):
// Qt 5 keeps them, Qt 6 trims them off a name's end. QSettings reads the
// digits of a "%XX" or "%UXXXX" escape with QByteArray::toInt(), which skips
// white space: such an escape is written again with plain digits.
void appendEscapedName(QByteArray &out, const char *data, qsizetype size)
{
    static const char hex[] = "0123456789ABCDEF";
    for (qsizetype i = 0; i < size; ++i) {
        const auto byte = static_cast<unsigned char>(data[i]);
        if (byte == '%' && i + 1 < size) {
            const qsizetype digits = data[i + 1] == 'U' ? 4 : 2;
            const qsizetype first = i + 1 + (digits == 4 ? 1 : 0);
            const QByteArray window
                = first + digits <= size ? QByteArray(data + first, int(digits)) : QByteArray();
            bool ok = false;
            const int value = window.toInt(&ok, 16);
            const bool spaced = std::any_of(window.cbegin(), window.cend(), isLineOrPageBreak);
            if (ok && spaced) {
                const auto unit = static_cast<unsigned>(value) & 0xffffu;
                out.append("%U");
                for (int shift = 12; shift >= 0; shift -= 4)
                    out.append(hex[(unit >> shift) & 0xfu]);
                i = first + digits - 1;
                continue;
            }
        }
        if (byte < 0x80 && !isLineOrPageBreak(char(byte))) {
            out.append(char(byte));
        } else {
            out.append('%');
            out.append(hex[byte >> 4]);
            out.append(hex[byte & 0xf]);
        }
    }
}

// Anything else: as UTF-8, each byte that is not part of a UTF-8 sequence as
// U+FFFD (QString::fromUtf8 does exactly what Qt 5's codec did), or from
// Latin-1. QSettings skips the byte after a backslash that starts no escape
// it knows; a non-ASCII one becomes a 'z', skipped all the same, and the
// text on either side is decoded on its own, as Qt 5 decodes it.
void appendText(QByteArray &out, const char *data, qsizetype size, bool utf8)
{
    qsizetype start = 0;
    auto decodeUpTo = [&](qsizetype end) {
        const char *from = data + start;
        const int length = int(end - start);
        out.append((utf8 ? QString::fromUtf8(from, length) : QString::fromLatin1(from, length)).toUtf8());
    };
    for (qsizetype i = 0; i < size; ++i) {
        if (data[i] != '\\')
            continue;
        decodeUpTo(i);
        out.append('\\');
        if (i + 1 < size) {
            ++i;
            out.append(static_cast<unsigned char>(data[i]) < 0x80 ? data[i] : 'z');
        }
        start = i + 1;
    }
    decodeUpTo(size);
}

} // namespace

QByteArray utf8Ini(const QByteArray &bytes, bool utf8)
{
    const bool mark = utf8 && bytes.startsWith(utf8Mark);
    const QByteArray data = mark ? bytes.mid(utf8Mark.size()) : bytes;
    // Qt 5 finds the sections past the mark, but reads the keys before the
    // first one from the file's first byte: when the first line is a key's,
    // with nothing but blanks before it, the mark's bytes begin its name.
    bool markInFirstName = false;
    if (mark) {
        qsizetype i = 0;
        while (i < data.size() && (data.at(i) == ' ' || data.at(i) == '\t'))
            ++i;
        markInFirstName
            = i < data.size() && !isIniSpace(data.at(i)) && data.at(i) != '[' && data.at(i) != ';';
    }
    QByteArray out;
    out.reserve(data.size() + data.size() / 4);
    qsizetype pos = 0;
    qsizetype copied = 0; // data before this is in `out`
    auto copyUpTo = [&](qsizetype end) {
        appendText(out, data.constData() + copied, end - copied, utf8);
        copied = end;
    };
    auto escapeUpTo = [&](qsizetype end) {
        appendEscapedName(out, data.constData() + copied, end - copied);
        copied = end;
    };
    IniLine line;
    while (nextIniLine(data, pos, line)) {
        const qsizetype lineEnd = line.start + line.length;
        if (data.at(line.start) == '[') {
            // A section's name runs to the first ']' if the line has one;
            // QSettings trims white space off its ends before reading it.
            const qsizetype close = data.indexOf(']', line.start);
            qsizetype first = line.start + 1;
            qsizetype end = close == -1 || close >= lineEnd ? lineEnd : close;
            while (first < end && isTrimmed(data.at(first)))
                ++first;
            while (end > first && isTrimmed(data.at(end - 1)))
                --end;
            copyUpTo(first);
            escapeUpTo(end);
        } else if (line.equals != -1 && markInFirstName && copied == 0) {
            appendEscapedName(out, utf8Mark.constData(), utf8Mark.size());
            escapeUpTo(line.equals); // the blanks before the name too
        } else if (line.equals != -1) {
            copyUpTo(line.start);
            escapeUpTo(line.equals);
        }
        copyUpTo(lineEnd);
    }
    copyUpTo(data.size());
    return out;
}

} // namespace GsSetting
