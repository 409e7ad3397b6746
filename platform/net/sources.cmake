set(PLATFORM_NET_SOURCES
    UrlError.cpp
    UrlSession.cpp
)
