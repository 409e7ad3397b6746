#pragma once

#include <QJsonObject>
#include <QLocale>
#include <QString>

/**
 * The installer-wide usage-event call.
 *
 * Every page and install step reports through GA::event(); it adds the
 * installer's standard parameters and queues the event with Analytics.
 *
 * @code
 * GA::event(QStringLiteral("Install_SW"), QStringLiteral("Start_Download"), url);
 * @endcode
 */
class GA {
public:
    /// Queues event @p name with action "ea" = @p action and label "el" =
    /// @p label (empty when null) plus the standard parameters.
    static void event(const QString &name, const QString &action = QString(), const QString &label = QString());
    /// The installer's own events, all named "Install_SW": event(installEventName(), action, label).
    static void installStep(const QString &action, const QString &label = QStringLiteral("Success"));
    /// "Install_SW".
    static QString installEventName();

    /// The nine standard parameters for @p action and @p label.
    static QJsonObject parameters(const QString &action, const QString &label);

    /// "os": the system name with its version as three plain numbers,
    /// e.g. "Linux6.1.0" for kernel type "linux", version "6.1.0-18-amd64".
    static QString operatingSystem(const QString &kernelType, const QString &kernelVersion);
    /// "cn": the English name of @p locale's region; "unknow" without one.
    static QString countryName(const QLocale &locale);
};
