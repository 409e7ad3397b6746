set(PLATFORM_NET_SOURCES
    CurlLibrary.cpp
    DownloadSession.cpp
    DownloadTask.cpp
    UrlError.cpp
    UrlSession.cpp
)
