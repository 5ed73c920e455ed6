#include "convert/tomllayout.h"
#include "convert/tomlvalue.h"
#include "settings/legacytext.h"

#include <algorithm>
#include <exception>
#include <sstream>
#include <vector>

namespace {

// Hands every key and every text of the table, nested ones included, to
// `onKey` and `onText` until one of them returns true; true when one did.
template<typename OnKey, typename OnText>
bool findInValue(const TomlValue &value, const OnKey &onKey, const OnText &onText);

template<typename OnKey, typename OnText>
bool findInTable(const TomlTable &table, const OnKey &onKey, const OnText &onText)
{
    for (const auto &member : table) {
        if (onKey(member.first) || findInValue(member.second, onKey, onText))
            return true;
    }
    return false;
}

template<typename OnKey, typename OnText>
bool findInValue(const TomlValue &value, const OnKey &onKey, const OnText &onText)
{
    if (value.is_string())
        return onText(value.as_string().str);
    if (value.is_table())
        return findInTable(value.as_table(), onKey, onText);
    if (value.is_array()) {
        for (const TomlValue &item : value.as_array()) {
            if (findInValue(item, onKey, onText))
                return true;
        }
    }
    return false;
}

// The library splits a long text into lines at byte counts, and it may cut
// between the two backslashes it writes for one backslash of the text. The
// piece then ends in "\\" and a line break, which are also the bytes of a text
// backslash before a line break: no reading of the library's text can tell the
// two apart. So the library never sees a text backslash. A character that the
// document does not hold, with two UTF-8 bytes like the "\\" it stands for
// (the library's line widths stay the same), takes its place, and the laid out
// text gets "\\" back for it.
class BackslashStandIn
{
public:
    explicit BackslashStandIn(const TomlTable &table)
        : m_used(lastTwoByte + 1, false)
    {
        const auto mark = [this](const std::string &text) {
            markTwoByte(text);
            return false;
        };
        findInTable(table, mark, mark);
        for (char32_t c = firstTwoByte; c <= lastTwoByte; ++c) {
            if (!m_used[c]) {
                m_bytes = {char(0xc0 | (c >> 6)), char(0x80 | (c & 0x3f))};
                break;
            }
        }
    }

    // Empty when the document holds every two-byte character.
    const std::string &bytes() const { return m_bytes; }

    void replaceIn(TomlTable &table) const
    {
        for (auto &member : table)
            replaceIn(member.second);
    }

private:
    static constexpr char32_t firstTwoByte = 0x80;
    static constexpr char32_t lastTwoByte = 0x7ff;

    void markTwoByte(const std::string &text)
    {
        for (std::size_t i = 0; i + 1 < text.size(); ++i) {
            const auto lead = static_cast<unsigned char>(text[i]);
            const auto next = static_cast<unsigned char>(text[i + 1]);
            if (lead >= 0xc2 && lead <= 0xdf && (next & 0xc0) == 0x80)
                m_used[((lead & 0x1fu) << 6) | (next & 0x3fu)] = true;
        }
    }

    void replaceIn(TomlValue &value) const
    {
        if (value.is_string()) {
            std::string &text = value.as_string().str;
            for (std::size_t at = text.find('\\'); at != std::string::npos;
                 at = text.find('\\', at + m_bytes.size()))
                text.replace(at, 1, m_bytes);
        } else if (value.is_array()) {
            for (TomlValue &item : value.as_array())
                replaceIn(item);
        } else if (value.is_table()) {
            replaceIn(value.as_table());
        }
    }

    std::vector<bool> m_used;
    std::string m_bytes;
};

// The library gives the value behind a key of 75 characters (as written) a
// line width of 2, and then loops for ever on a text that starts with an
// escape. No description of ours has such a key; the check keeps the writer
// from hanging on one.
constexpr std::size_t hangingKeyLength = 75;

// A bare key is written as it stands; only other keys need the library's
// quoting to know their written length.
bool isBareKey(const std::string &key)
{
    if (key.empty())
        return false;
    for (const char c : key) {
        const bool bare = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')
            || c == '-' || c == '_';
        if (!bare)
            return false;
    }
    return true;
}

std::size_t writtenKeyLength(const std::string &key)
{
    return isBareKey(key) ? key.size() : toml::format_key(key).size();
}

bool hasHangingKey(const TomlTable &table)
{
    return findInTable(
        table, [](const std::string &key) { return writtenKeyLength(key) == hangingKeyLength; },
        [](const std::string &) { return false; });
}

bool isValidUtf8(const std::string &text)
{
    const bool ascii = std::all_of(
        text.cbegin(), text.cend(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    return ascii || LegacyText::isValidUtf8(QByteArray::fromRawData(text.data(), int(text.size())));
}

// Bare keys and texts of valid UTF-8 all through.
bool isPlainTable(const TomlTable &table)
{
    return !findInTable(
        table, [](const std::string &key) { return !isBareKey(key); },
        [](const std::string &text) { return !isValidUtf8(text); });
}

// The library writes a text of valid UTF-8 on one line as the text between
// quotes with every control character, quote and backslash escaped, and a
// bare key as it stands: such a document reads back by construction. Texts
// written over several lines (with a line break or a quote, or longer than
// the line), quoted keys and bytes that are no UTF-8 are where it went wrong
// before; a document holding one is read back before it is trusted.
bool needsReadingBack(const QByteArray &bytes, const TomlTable &table)
{
    return bytes.contains(QByteArrayLiteral("\"\"\"")) || bytes.contains(QByteArrayLiteral("'''"))
        || !isPlainTable(table);
}

bool readsBackAs(const QByteArray &bytes, const TomlTable &table)
{
    std::istringstream stream(std::string(bytes.constData(), std::size_t(bytes.size())));
    try {
        const TomlValue parsed = toml::parse<toml::discard_comments, std::map, std::vector>(stream);
        return parsed.is_table() && parsed.as_table() == table;
    } catch (const std::exception &) {
        return false;
    }
}

} // namespace

QByteArray formatTomlDocument(const TomlTable &table, FileError *error)
{
    if (hasHangingKey(table)) {
        *error = FileError(QStringLiteral("a key is too long for the TOML library"));
        return {};
    }
    const BackslashStandIn standIn(table);
    QByteArray bytes;
    try {
        TomlTable formatted = table;
        if (!standIn.bytes().empty())
            standIn.replaceIn(formatted);
        bytes = layoutTomlText(toml::format(TomlValue(std::move(formatted)), 80, 17));
    } catch (const std::exception &) {
        *error = FileError(QStringLiteral("the TOML library cannot write the description"));
        return {};
    }
    if (!standIn.bytes().empty())
        bytes.replace(QByteArray::fromStdString(standIn.bytes()), QByteArrayLiteral("\\\\"));

    // The last word on every text the library may have split: what a reader
    // gets back from the bytes.
    if (needsReadingBack(bytes, table) && !readsBackAs(bytes, table)) {
        *error = FileError(QStringLiteral("the written text does not read back"));
        return {};
    }
    *error = FileError();
    return bytes;
}
