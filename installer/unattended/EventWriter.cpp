#include "EventWriter.h"

#include <QJsonArray>
#include <QJsonDocument>

#include <cerrno>
#include <unistd.h>

namespace {

void writeAll(int fd, const QByteArray &bytes)
{
    const char *data = bytes.constData();
    qsizetype left = bytes.size();
    while (left > 0) {
        const ssize_t written = ::write(fd, data, std::size_t(left));
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return; // a closed pipe must not stop the install
        data += written;
        left -= written;
    }
}

} // namespace

EventWriter::EventWriter(Format format, int jsonDescriptor)
    : m_format(format)
    , m_jsonDescriptor(jsonDescriptor)
    , m_terminal(::isatty(STDERR_FILENO) == 1)
{
}

void EventWriter::write(const QString &event, const QJsonObject &fields, const QString &sentence)
{
    if (m_format == Format::text) {
        writeText(event, sentence);
        return;
    }
    // "event" first, then the fields in name order, whatever the fields are called.
    const QByteArray name = QJsonDocument(QJsonArray { event }).toJson(QJsonDocument::Compact);
    QByteArray line = "{\"event\":" + name.mid(1, name.size() - 2);
    if (!fields.isEmpty())
        line += ',' + QJsonDocument(fields).toJson(QJsonDocument::Compact).mid(1);
    else
        line += '}';
    writeAll(m_jsonDescriptor, line + '\n');
}

void EventWriter::writeText(const QString &event, const QString &sentence)
{
    const bool progress = event == QLatin1String("progress");
    if (progress && !m_terminal)
        return; // a log file gets the steps, not hundreds of percentages
    QByteArray line;
    if (m_progressShown)
        line += "\r\033[K"; // the progress line is replaced by what follows
    line += sentence.toUtf8();
    if (!progress)
        line += '\n';
    m_progressShown = progress;
    writeAll(STDERR_FILENO, line);
}
