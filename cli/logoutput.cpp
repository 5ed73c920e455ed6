#include "cli/logoutput.h"

#include "cli/progressline.h"
#include "cli/sgr.h"
#include "journal/journalformat.h"
#include "log/terminaltext.h"
#include "view/htmldocument.h"

#include <cerrno>
#include <unistd.h>

LogOutput::LogOutput(LogFormat format, bool colour, const TextForm &form, ProgressLine &progress)
    : m_format(format)
    , m_colour(colour)
    , m_form(form)
    , m_progress(progress)
{
}

void LogOutput::write(const QByteArray &bytes)
{
    if (m_closed)
        return;
    // On a shared terminal the progress line makes way for the log.
    if (isatty(fileno(stdout)) == 1)
        m_progress.clear();
    const size_t written = std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stdout);
    if ((std::fflush(stdout) != 0 || written != size_t(bytes.size())) && errno == EPIPE) {
        m_closed = true;
        if (m_onClosed)
            m_onClosed();
    }
}

void LogOutput::writeBlock(const QVector<LogRecord> &block)
{
    if (m_format == LogFormat::Html)
        return;
    if (m_format == LogFormat::Json) {
        // Warnings, errors and changes as records; the other lines are for people.
        write(outputRecords(block, m_form.client));
        return;
    }
    writeText(textLines(block, m_form));
}

void LogOutput::writeText(const QStringList &lines)
{
    const QString text = (m_first ? QString() : QStringLiteral("\n")) + joinLog(lines);
    m_first = false;
    // Every name in the log went through displayName; on a terminal the rest
    // of what a stranger's names may hold is shown too.
    write(terminalTextFor(stdout, m_colour ? text : stripSgr(text), TerminalText::Shown).toUtf8());
}

void LogOutput::writeLastLine(const QString &line)
{
    if (m_format != LogFormat::Text)
        return;
    writeText({line});
    write("\n");
}

void LogOutput::endLine()
{
    if (m_format == LogFormat::Text)
        write("\n");
}

void LogOutput::writeRecord(const QByteArray &record)
{
    if (m_format == LogFormat::Json)
        write(record + '\n');
}

void LogOutput::finish(const QVector<LogRecord> &log, const QString &title)
{
    if (m_format != LogFormat::Html)
        return;
    write(QByteArray::fromStdString(
        htmlLogDocument(title.toStdString(), joinLog(textLines(log, m_form)).toStdString())));
}
