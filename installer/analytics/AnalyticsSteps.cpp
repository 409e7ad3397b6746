#include "AnalyticsSteps.h"

#include "Analytics.h"
#include "GA.h"

#include <installer/BuildConfig.h>

#include <thread>

namespace AnalyticsSteps {

namespace {

std::chrono::milliseconds pause { 500 };

bool isTrue(const char *variable)
{
    const QString value = qEnvironmentVariable(variable).trimmed().toLower();
    return value == QLatin1String("1") || value == QLatin1String("true") || value == QLatin1String("yes")
        || value == QLatin1String("on");
}

} // namespace

bool isOptedOut()
{
    return isTrue("DO_NOT_TRACK") || isTrue("PRISMORA_NO_ANALYTICS");
}

void startup()
{
    if (!isOptedOut())
        Analytics::configureWithMeasurement_id(
            QString::fromUtf8(buildconfig::analyticsMeasurementId), QString::fromUtf8(buildconfig::analyticsApiSecret));
    GA::installStep(QStringLiteral("Launch_App"));
}

void termination()
{
    Analytics::flush();
    // The requests run on the URL session's worker thread; holding the main
    // thread here keeps the process alive while they leave.
    std::this_thread::sleep_for(pause);
}

void windowClose()
{
    GA::installStep(QStringLiteral("Close"));
}

std::chrono::milliseconds terminationPause()
{
    return pause;
}

void setTerminationPause(std::chrono::milliseconds newPause)
{
    pause = newPause;
}

} // namespace AnalyticsSteps
