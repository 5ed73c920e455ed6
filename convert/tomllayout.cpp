#include "convert/tomllayout.h"

namespace {

enum class Literal {
    None,
    Basic, // "..."
    Raw, // '...'
    MultiLineBasic, // """..."""
    MultiLineRaw, // '''...'''
};

// Walks the text once, tracking which string literal, if any, each byte
// belongs to. All delimiters are ASCII, so UTF-8 sequences pass through.
class LayoutWriter
{
public:
    explicit LayoutWriter(const std::string &text)
        : m_text(text)
    {
        m_out.reserve(int(text.size() + text.size() / 8 + 16));
    }

    QByteArray run()
    {
        bool lineStart = true;
        while (m_pos < m_text.size()) {
            if (lineStart && m_literal == Literal::None && isTableArrayHeader() && !m_out.isEmpty())
                m_out.append("\r\n");
            lineStart = false;
            const char c = m_text[m_pos];
            if (c == '\n' || (c == '\r' && peek(1) == '\n')) {
                lineStart = lineEnd();
                continue;
            }
            switch (m_literal) {
            case Literal::None:
                outside(c);
                break;
            case Literal::Basic:
                insideBasic(c);
                break;
            case Literal::Raw:
                take(1);
                if (c == '\'')
                    m_literal = Literal::None;
                break;
            case Literal::MultiLineBasic:
            case Literal::MultiLineRaw:
                insideMultiLine(c);
                break;
            }
        }
        if (!lineStart)
            m_out.append("\r\n");
        return m_out;
    }

private:
    char peek(std::size_t ahead) const
    {
        return m_pos + ahead < m_text.size() ? m_text[m_pos + ahead] : '\0';
    }

    // The length of a line break ("\n" or "\r\n") that starts `ahead` bytes on; 0 when there is none.
    std::size_t lineBreakLength(std::size_t ahead) const
    {
        if (peek(ahead) == '\n')
            return 1;
        return peek(ahead) == '\r' && peek(ahead + 1) == '\n' ? 2 : 0;
    }

    void take(std::size_t count)
    {
        m_out.append(m_text.data() + m_pos, int(count));
        m_pos += count;
    }

    // "[[" at the start of a line, then at least one character, then "]]".
    bool isTableArrayHeader() const
    {
        if (m_text.compare(m_pos, 2, "[[") != 0)
            return false;
        const std::size_t end = m_text.find('\n', m_pos);
        const std::size_t close = m_text.find("]]", m_pos + 3);
        return close != std::string::npos && (end == std::string::npos || close + 2 <= end);
    }

    // A line end outside a literal, or the one right after the opening quotes
    // of a multi-line literal (which the literal does not keep), becomes
    // CR LF. A line break that is part of a text value is copied as it is.
    // Returns whether a new line of the document starts.
    bool lineEnd()
    {
        const std::size_t length = m_text[m_pos] == '\r' ? 2 : 1;
        const bool partOfText = (m_literal == Literal::MultiLineBasic || m_literal == Literal::MultiLineRaw)
            && m_pos != m_literalStart;
        if (partOfText) {
            take(length);
            return false;
        }
        m_out.append("\r\n");
        m_pos += length;
        return true;
    }

    void outside(char c)
    {
        if (c == ',') {
            m_out.append(", ");
            ++m_pos;
        } else if (c == '"' || c == '\'') {
            const bool multiLine = peek(1) == c && peek(2) == c;
            const std::size_t quotes = multiLine ? 3 : 1;
            take(quotes);
            m_literalStart = m_pos;
            if (c == '"')
                m_literal = multiLine ? Literal::MultiLineBasic : Literal::Basic;
            else
                m_literal = multiLine ? Literal::MultiLineRaw : Literal::Raw;
        } else {
            take(1);
        }
    }

    void insideBasic(char c)
    {
        if (c == '\\') {
            take(peek(1) == '\0' ? 1 : 2);
        } else {
            take(1);
            if (c == '"')
                m_literal = Literal::None;
        }
    }

    void insideMultiLine(char c)
    {
        const char quote = m_literal == Literal::MultiLineBasic ? '"' : '\'';
        if (c == quote) {
            // One or two quotes may stand just before the closing three.
            std::size_t run = 0;
            while (peek(run) == quote)
                ++run;
            take(run);
            if (run >= 3)
                m_literal = Literal::None;
            return;
        }
        if (c == '\\' && m_literal == Literal::MultiLineBasic) {
            std::size_t blank = 1;
            while (peek(blank) == ' ' || peek(blank) == '\t')
                ++blank;
            const std::size_t lineBreak = lineBreakLength(blank);
            if (lineBreak != 0) {
                // The library breaks a long text into lines joined by line-ending
                // backslashes. A reader drops every blank that starts the next
                // line, and the break may fall inside a UTF-8 sequence or an
                // escape such as "\u001F", so the text is joined into one line
                // again. The writer keeps the text's own backslashes from the
                // library (formatTomlDocument), and the library never breaks a
                // line right after the backslash that opens an escape, so a
                // backslash before a line end is always the library's.
                m_pos += blank + lineBreak;
            } else {
                // An escape: the backslash and the character it escapes.
                take(peek(1) == '\0' ? 1 : 2);
            }
            return;
        }
        take(1);
    }

    const std::string &m_text;
    std::size_t m_pos = 0;
    QByteArray m_out;
    Literal m_literal = Literal::None;
    std::size_t m_literalStart = 0;
};

} // namespace

QByteArray layoutTomlText(const std::string &formatted)
{
    return LayoutWriter(formatted).run();
}
