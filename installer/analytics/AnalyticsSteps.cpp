#include "AnalyticsSteps.h"

namespace AnalyticsSteps {

void startup()
{
}

void termination()
{
}

void windowClose()
{
}

} // namespace AnalyticsSteps
