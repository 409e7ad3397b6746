set(MIRAKIT_FOUNDATION_SOURCES
    ColorExtensions.cpp
    ViewBehaverWrapper.cpp
)
