set(PLATFORM_NET_SOURCES
    DownloadSession.cpp
    DownloadTask.cpp
    UrlError.cpp
    UrlSession.cpp
)
