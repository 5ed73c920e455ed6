#include "paths/displayname.h"

namespace {

bool isControl(uint code)
{
    return code < 0x20 || (code >= 0x7f && code < 0xa0);
}

QString escaped(uint code)
{
    return QStringLiteral("\\x%1").arg(code, 2, 16, QLatin1Char('0'));
}

} // namespace

QString displayName(const QString &name)
{
    bool clean = true;
    for (const QChar c : name)
        clean = clean && !isControl(c.unicode());
    if (clean)
        return name;
    QString shown;
    for (const QChar c : name)
        shown += isControl(c.unicode()) ? escaped(c.unicode()) : QString(c);
    return shown;
}

QString displayBytes(const QByteArray &bytes)
{
    QString shown;
    for (const char byte : bytes) {
        const uint code = uchar(byte);
        shown += code >= 0x20 && code < 0x7f ? QString(QLatin1Char(byte)) : escaped(code);
    }
    return shown;
}
