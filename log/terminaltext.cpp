#include "log/terminaltext.h"

#include <unistd.h>

namespace {

// The log's own colour codes (see formatLogLine): the only escape sequences
// a log may hand to a terminal, because every name in it went through
// displayName.
const QLatin1String logColours[] = {
    QLatin1String("\x1b[33m"),
    QLatin1String("\x1b[31m"),
    QLatin1String("\x1b[0m"),
};

bool isControl(uint code)
{
    return code < 0x20 || (code >= 0x7f && code < 0xa0);
}

// Characters that reorder or break the text around them without being seen.
bool isInvisibleControl(uint code)
{
    // Besides the bidirectional controls and the separators, the format
    // characters that take no room (zero-width spaces and joiners, word
    // joiners, the byte-order mark), which can disguise one name as another.
    return code == 0x061c || (code >= 0x200b && code <= 0x200f) || (code >= 0x202a && code <= 0x202e)
        || (code >= 0x2060 && code <= 0x206f) || code == 0x2028 || code == 0x2029 || code == 0xfeff;
}

QString escaped(uint code, char letter, int digits)
{
    return QStringLiteral("\\%1%2").arg(QLatin1Char(letter)).arg(code, digits, 16, QLatin1Char('0'));
}

int logColourAt(const QString &text, int at)
{
    for (const QLatin1String &colour : logColours) {
        if (QStringView(text).mid(at).startsWith(colour))
            return colour.size();
    }
    return 0;
}

} // namespace

QString terminalText(const QString &text, TerminalText kind)
{
    const bool shown = kind == TerminalText::Shown;
    QString safe;
    safe.reserve(text.size());
    for (int at = 0; at < text.size(); ++at) {
        const QChar c = text.at(at);
        const uint code = c.unicode();
        if (shown && code == '\n') {
            safe += c;
        } else if (const int colour = shown && code == 0x1b ? logColourAt(text, at) : 0) {
            safe += QStringView(text).mid(at, colour);
            at += colour - 1;
        } else if (c.isHighSurrogate() && at + 1 < text.size() && text.at(at + 1).isLowSurrogate()) {
            safe += c;
            safe += text.at(++at);
        } else if (isControl(code)) {
            safe += escaped(code, 'x', 2);
        } else if (isInvisibleControl(code) || c.isSurrogate()) {
            safe += escaped(code, 'u', 4);
        } else if (code == '\\' && at + 1 < text.size()
            && (text.at(at + 1) == QLatin1Char('u') || (!shown && text.at(at + 1) == QLatin1Char('x')))) {
            safe += escaped(code, 'x', 2);
        } else {
            safe += c;
        }
    }
    return safe;
}

QString terminalTextFor(std::FILE *stream, const QString &text, TerminalText kind)
{
    return isatty(fileno(stream)) == 1 ? terminalText(text, kind) : text;
}
