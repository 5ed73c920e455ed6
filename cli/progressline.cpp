#include "cli/progressline.h"

#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr qint64 redrawInterval = 100; // ms

QString duration(qint64 ms)
{
    const qint64 seconds = ms / 1000;
    return QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
}

int terminalWidth(FILE *stream)
{
    struct winsize size = {};
    if (::ioctl(fileno(stream), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
        return size.ws_col;
    return 80;
}

} // namespace

ProgressLine::ProgressLine(FILE *stream, bool enabled)
    : m_stream(stream)
    , m_enabled(enabled)
{
    m_started.start();
}

bool ProgressLine::wantedByDefault()
{
    if (isatty(STDERR_FILENO) != 1 || qgetenv("TERM") == "dumb")
        return false;
    // A log kept in a file is read later, not over the line; a pipe is read now.
    struct stat out;
    return isatty(STDOUT_FILENO) == 1 || (::fstat(STDOUT_FILENO, &out) == 0 && S_ISREG(out.st_mode));
}

ProgressLine::~ProgressLine()
{
    clear();
}

QString ProgressLine::format(int done, int total, qint64 elapsedMs, const QString &name, int width)
{
    QString line = QStringLiteral("%1/%2 %3% %4")
                       .arg(done)
                       .arg(total)
                       .arg(total > 0 ? done * 100 / total : 100)
                       .arg(duration(elapsedMs));
    if (done > 0 && done < total)
        line += QStringLiteral(" ~%1 left").arg(duration(elapsedMs * (total - done) / done));
    line += QLatin1Char(' ');
    // A wrapped line could not be erased with a carriage return.
    const int room = width - 1 - line.size();
    if (room >= name.size())
        return line + name;
    if (room > 3)
        return line + name.left(room - 3) + QStringLiteral("...");
    return line.left(qMax(0, width - 1));
}

void ProgressLine::show(int done, int total, const QString &name, TerminalText kind)
{
    if (!m_enabled)
        return;
    const qint64 now = m_started.elapsed();
    if (m_lastDrawn >= 0 && now - m_lastDrawn < redrawInterval)
        return;
    m_lastDrawn = now;
    // Shown before it is shortened, so the line still fits the terminal.
    const QString shown = terminalTextFor(m_stream, name, kind);
    const QByteArray line
        = (QStringLiteral("\r\x1b[K") + format(done, total, now, shown, terminalWidth(m_stream))).toUtf8();
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
