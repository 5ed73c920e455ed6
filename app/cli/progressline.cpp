#include "app/cli/progressline.h"

#include <unistd.h>

namespace {

// Long folder names would wrap, and a wrapped line cannot be erased with \r.
constexpr int maxNameLength = 50;

} // namespace

ProgressLine::ProgressLine(FILE *stream)
    : m_stream(stream)
    , m_enabled(isatty(fileno(stream)) == 1)
{
}

ProgressLine::~ProgressLine()
{
    clear();
}

void ProgressLine::show(int done, int total, const QString &name)
{
    if (!m_enabled)
        return;
    QString shown = name;
    if (shown.size() > maxNameLength)
        shown = shown.left(maxNameLength - 3) + QStringLiteral("...");
    const QByteArray line = QStringLiteral("\r\x1b[K%1/%2 %3").arg(done).arg(total).arg(shown).toUtf8();
    std::fwrite(line.constData(), 1, size_t(line.size()), m_stream);
    std::fflush(m_stream);
    m_shown = true;
}

void ProgressLine::clear()
{
    if (!m_shown)
        return;
    std::fputs("\r\x1b[K", m_stream);
    std::fflush(m_stream);
    m_shown = false;
}
