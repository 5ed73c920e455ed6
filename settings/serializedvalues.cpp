#include "settings/serializedvalues.h"

#include <QList>

namespace GsSetting {

namespace {

int hexDigit(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'a' && c <= 'f')
        return c - 'a' + 10;
    if (c >= 'A' && c <= 'F')
        return c - 'A' + 10;
    return -1;
}

// The value's characters as QSettings' unescaping could make them, looser
// than it: quotes and line continuations dropped, "\xHH..." and octal
// escapes decoded (only their low byte kept: "@" is one), other escapes
// taken as the character they name. Whatever QSettings makes of the value,
// a "@Variant(" in it stands in this text too.
QByteArray loosely(const QByteArray &value)
{
    QByteArray text;
    for (int i = 0; i < value.size(); ++i) {
        const char c = value.at(i);
        if (c == '"')
            continue;
        if (c != '\\' || i + 1 == value.size()) {
            text += c;
            continue;
        }
        const char next = value.at(++i);
        if (next == 'x' || next == 'X') {
            int code = 0;
            while (i + 1 < value.size() && hexDigit(value.at(i + 1)) >= 0)
                code = (code * 16 + hexDigit(value.at(++i))) & 0xffff;
            text += char(code & 0xff);
        } else if (next >= '0' && next <= '7') {
            int code = next - '0';
            while (i + 1 < value.size() && value.at(i + 1) >= '0' && value.at(i + 1) <= '7')
                code = (code * 8 + (value.at(++i) - '0')) & 0xffff;
            text += char(code & 0xff);
        } else if (next != '\n' && next != '\r') {
            text += next;
        }
    }
    return text;
}

} // namespace

QByteArray withoutSerializedValues(const QByteArray &bytes, bool *changed)
{
    *changed = false;
    if (!bytes.contains("Variant") && !bytes.contains('\\'))
        return bytes; // the common file: nothing can spell it
    QList<QByteArray> lines = bytes.split('\n');
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray trimmed = lines.at(i).trimmed();
        const int equals = lines.at(i).indexOf('=');
        if (equals < 0 || trimmed.startsWith(';') || trimmed.startsWith('#') || trimmed.startsWith('['))
            continue;
        // A value goes on past a line that ends in a backslash.
        int last = i;
        while (last + 1 < lines.size() && lines.at(last).trimmed().endsWith('\\'))
            ++last;
        QByteArray value = lines.at(i).mid(equals + 1);
        for (int j = i + 1; j <= last; ++j)
            value += '\n' + lines.at(j);
        if (loosely(value).contains("@Variant(")) {
            lines[i].truncate(equals + 1);
            for (int j = i + 1; j <= last; ++j)
                lines[j].clear();
            *changed = true;
        }
        i = last;
    }
    return *changed ? lines.join('\n') : bytes;
}

} // namespace GsSetting
