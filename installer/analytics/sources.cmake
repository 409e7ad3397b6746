set(INSTALLER_ANALYTICS_SOURCES
    AnalyticsSteps.cpp
)
