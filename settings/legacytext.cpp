#include "settings/legacytext.h"

#include <QTextCodec>

namespace LegacyText {

namespace {

class Utf8Check
{
public:
    bool feed(const char *data, int size)
    {
        m_codec->toUnicode(data, size, &m_state);
        return m_state.invalidChars == 0;
    }
    // A sequence cut off by the end of the bytes is not valid either.
    bool finish() const { return m_state.invalidChars == 0 && m_state.remainingChars == 0; }

private:
    QTextCodec *m_codec = QTextCodec::codecForName("UTF-8");
    QTextCodec::ConverterState m_state;
};

const QByteArray utf8Mark("\xef\xbb\xbf");

} // namespace

bool isValidUtf8(const QByteArray &bytes)
{
    Utf8Check check;
    return check.feed(bytes.constData(), bytes.size()) && check.finish();
}

bool isUtf8(const QByteArray &bytes)
{
    return bytes.startsWith(utf8Mark) || isValidUtf8(bytes);
}

// Pointer and size everywhere: Qt 5's QByteArray overloads stop at the first
// NUL byte, which would drop the rest of the file.
QString decode(const QByteArray &bytes)
{
    // QSettings reads a file that starts with the mark as UTF-8, whatever
    // follows; bytes that are not UTF-8 become replacement characters.
    if (bytes.startsWith(utf8Mark))
        return QString::fromUtf8(bytes.constData() + utf8Mark.size(), bytes.size() - utf8Mark.size());
    if (!isValidUtf8(bytes))
        return QString::fromLatin1(bytes.constData(), bytes.size());
    return QString::fromUtf8(bytes.constData(), bytes.size());
}

} // namespace LegacyText
