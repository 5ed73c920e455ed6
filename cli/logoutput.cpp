#include "cli/logoutput.h"

#include "cli/progressline.h"
#include "cli/sgr.h"
#include "log/loglevel.h"
#include "migration/restructure.h"
#include "migration/runrecorder.h"
#include "view/ansihtmlconverter.h"

#include <cerrno>
#include <unistd.h>

namespace {

// A line whose maker named no character or path (a damaged journal line an undo reports).
QByteArray textRecord(const char *op, const QString &line)
{
    // The level is the record's own; the text is the message alone.
    const QString message = line.mid(line.indexOf(QStringLiteral("\x1b[0m")) + 4);
    return QByteArray("{\"op\":\"") + op + "\",\"text\":" + jsonString(stripSgr(message))
        + ",\"character\":null}\n";
}

// Whether the line after a warning or error line is that line's own record.
bool isLineRecord(const QStringList &block, int at)
{
    if (at >= block.size() || !isRecordLine(block.at(at)))
        return false;
    const QString record = recordOfLine(block.at(at));
    return record.startsWith(QLatin1String("{\"op\":\"warning\","))
        || record.startsWith(QLatin1String("{\"op\":\"error\","));
}

QByteArray htmlEscaped(const QString &text)
{
    return text.toHtmlEscaped().toUtf8();
}

} // namespace

LogOutput::LogOutput(LogFormat format, bool colour, ProgressLine &progress)
    : m_format(format)
    , m_colour(colour)
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

void LogOutput::writeBlock(const QStringList &block)
{
    if (m_format == LogFormat::Html)
        return;
    if (m_format == LogFormat::Json) {
        QByteArray records;
        for (int at = 0; at < block.size(); ++at) {
            const QString &line = block.at(at);
            if (isRecordLine(line))
                records += recordOfLine(line).toUtf8() + '\n';
            else if ((isErrorLine(line) || isWarningLine(line)) && isLineRecord(block, at + 1))
                continue; // the record that follows says it all
            else if (isErrorLine(line))
                records += textRecord("error", line);
            else if (isWarningLine(line))
                records += textRecord("warning", line);
        }
        write(records);
        return;
    }
    const QString text = (m_first ? QString() : QStringLiteral("\n")) + joinLog(block);
    m_first = false;
    write((m_colour ? text : stripSgr(text)).toUtf8());
}

void LogOutput::writeLastLine(const QString &line)
{
    if (m_format != LogFormat::Text)
        return;
    writeBlock({line});
    write("\n");
}

void LogOutput::writeRecord(const QByteArray &record)
{
    if (m_format == LogFormat::Json)
        write(record + '\n');
}

void LogOutput::finish(const QStringList &log, const QString &title)
{
    if (m_format != LogFormat::Html)
        return;
    const std::string body = ansiHtmlConverter().convert(joinLog(log).toStdString());
    write("<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n<title>"
        + htmlEscaped(title) + "</title>\n</head>\n" + QByteArray::fromStdString(body) + "\n</html>\n");
}
