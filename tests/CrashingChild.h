#pragma once

#include <QCoreApplication>
#include <QProcess>
#include <QProcessEnvironment>

#include <optional>

/**
 * Runs this test program again with @p variable set to @p call, for checks of
 * calls that stop the process: the child's main() makes the call when it
 * sees the variable. Returns what the child wrote to standard error when it
 * crashed, and nothing when it ended normally.
 */
inline std::optional<QByteArray> crashingChildError(const QString &variable, const QString &call)
{
    QProcess child;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(variable, call);
    child.setProcessEnvironment(environment);
    child.start(QCoreApplication::applicationFilePath(), {});
    if (!child.waitForFinished(-1) || child.exitStatus() != QProcess::CrashExit)
        return std::nullopt;
    return child.readAllStandardError();
}
