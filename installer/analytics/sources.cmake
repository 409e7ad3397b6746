set(INSTALLER_ANALYTICS_SOURCES
    Analytics.cpp
    AnalyticsSteps.cpp
    AnalyticsTransport.cpp
    GA.cpp
    MeasurementRequest.cpp
)
