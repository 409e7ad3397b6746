#pragma once

// Internal to the URL and download sessions; not installed.

#include <QByteArray>
#include <QString>

#include <curl/curl.h>

#include <mutex>

namespace platform::net {

/**
 * libcurl, loaded when a session first needs it instead of at program start.
 *
 * Linking libcurl would map it and the two dozen libraries it depends on
 * before main() runs; the installer's first window needs none of them. The
 * sessions call load() on their worker threads, which opens "libcurl.so.4",
 * resolves the functions below and runs curl_global_init() once per process.
 *
 * Call the function pointers only after load() returned true, or from
 * another thread once it has learned of that through a synchronising
 * operation (the sessions publish their multi handle through an atomic).
 *
 * PRISMORA_CURL_LIBRARY names another file to open, which lets tests check
 * how the sessions behave when libcurl cannot be loaded.
 */
class CurlLibrary {
public:
    /// The process-wide instance. Cheap: nothing is loaded yet.
    static CurlLibrary &instance();

    /// Loads and initialises libcurl the first time it is called; later
    /// calls return the first call's outcome at once. Thread-safe. The first
    /// call takes milliseconds: make it on a worker thread.
    bool load();

    /// Why load() failed; empty after success or before load().
    QString errorString() const;

    decltype(&curl_easy_init) easyInit = nullptr;
    decltype(&curl_easy_cleanup) easyCleanup = nullptr;
    decltype(&curl_easy_setopt) easySetopt = nullptr;
    decltype(&curl_easy_getinfo) easyGetinfo = nullptr;
    decltype(&curl_easy_pause) easyPause = nullptr;
    decltype(&curl_easy_strerror) easyStrerror = nullptr;
    decltype(&curl_slist_append) slistAppend = nullptr;
    decltype(&curl_slist_free_all) slistFreeAll = nullptr;
    decltype(&curl_multi_init) multiInit = nullptr;
    decltype(&curl_multi_cleanup) multiCleanup = nullptr;
    decltype(&curl_multi_add_handle) multiAddHandle = nullptr;
    decltype(&curl_multi_remove_handle) multiRemoveHandle = nullptr;
    decltype(&curl_multi_perform) multiPerform = nullptr;
    decltype(&curl_multi_info_read) multiInfoRead = nullptr;
    decltype(&curl_multi_poll) multiPoll = nullptr;
    decltype(&curl_multi_wakeup) multiWakeup = nullptr;

private:
    CurlLibrary() = default;
    bool open(const QByteArray &fileName);

    std::once_flag m_once;
    bool m_loaded = false;
    QString m_error;
};

} // namespace platform::net
