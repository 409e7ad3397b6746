#pragma once

#include <QJsonObject>
#include <QString>

/**
 * Tells what an unattended run does, one event at a time.
 *
 * Each event has a name, fields and a sentence for people. As JSON, an event
 * is one object per line, {"event": name, ...fields}, written on its own
 * file descriptor; as text, the sentence goes to standard error, and on a
 * terminal the "progress" event rewrites one line in place instead of adding
 * lines. The writer never buffers: a line is complete when write() returns.
 */
class EventWriter {
public:
    enum class Format { text, json };

    /// Writes JSON to @p jsonDescriptor, text to standard error.
    EventWriter(Format format, int jsonDescriptor);

    Format format() const { return m_format; }

    void write(const QString &event, const QJsonObject &fields, const QString &sentence);

private:
    void writeText(const QString &event, const QString &sentence);

    const Format m_format;
    const int m_jsonDescriptor;
    const bool m_terminal;
    bool m_progressShown = false;
};
