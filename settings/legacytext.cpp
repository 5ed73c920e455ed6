#include "settings/legacytext.h"

#include <QFile>

namespace LegacyText {

namespace {

// UTF-8 as RFC 3629 has it, fed in pieces: no overlong forms, no encoded
// surrogates, nothing past U+10FFFF; noncharacters are valid. This is what
// Qt 5's UTF-8 codec accepts, and the same under every Qt version.
class Utf8Check
{
public:
    bool feed(const char *data, qint64 size)
    {
        for (qint64 i = 0; i < size && m_valid; ++i)
            take(static_cast<unsigned char>(data[i]));
        return m_valid;
    }
    // A sequence cut off by the end of the bytes is not valid either.
    bool finish() const { return m_valid && m_needed == 0; }

private:
    void take(unsigned char byte)
    {
        if (m_needed == 0) {
            if (byte < 0x80)
                return;
            // The second byte's range rules out overlong forms, surrogates
            // and code points past U+10FFFF.
            m_low = 0x80;
            m_high = 0xbf;
            if (byte >= 0xc2 && byte <= 0xdf) {
                m_needed = 1;
            } else if (byte >= 0xe0 && byte <= 0xef) {
                m_needed = 2;
                m_low = byte == 0xe0 ? 0xa0 : 0x80;
                m_high = byte == 0xed ? 0x9f : 0xbf;
            } else if (byte >= 0xf0 && byte <= 0xf4) {
                m_needed = 3;
                m_low = byte == 0xf0 ? 0x90 : 0x80;
                m_high = byte == 0xf4 ? 0x8f : 0xbf;
            } else {
                m_valid = false;
            }
            return;
        }
        if (byte < m_low || byte > m_high) {
            m_valid = false;
            return;
        }
        m_low = 0x80;
        m_high = 0xbf;
        --m_needed;
    }

    bool m_valid = true;
    int m_needed = 0;
    unsigned char m_low = 0x80;
    unsigned char m_high = 0xbf;
};

const QByteArray utf8Mark("\xef\xbb\xbf");
} // namespace

bool isValidUtf8(const QByteArray &bytes)
{
    Utf8Check check;
    return check.feed(bytes.constData(), bytes.size()) && check.finish();
}

bool isValidUtf8File(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    Utf8Check check;
    char buffer[16384];
    qint64 read = 0;
    while ((read = file.read(buffer, sizeof buffer)) > 0) {
        if (!check.feed(buffer, read))
            return false;
    }
    return read == 0 && check.finish();
}

bool isUtf8File(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    return file.read(utf8Mark.size()) == utf8Mark || isValidUtf8File(path);
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
