#include "CurlLibrary.h"

#include <dlfcn.h>

#include <type_traits>

namespace platform::net {

namespace {

constexpr char defaultFileName[] = "libcurl.so.4";

} // namespace

CurlLibrary &CurlLibrary::instance()
{
    static CurlLibrary library;
    return library;
}

bool CurlLibrary::load()
{
    std::call_once(m_once, [this] {
        QByteArray fileName = qgetenv("PRISMORA_CURL_LIBRARY");
        if (fileName.isEmpty())
            fileName = defaultFileName;
        m_loaded = open(fileName);
    });
    return m_loaded;
}

QString CurlLibrary::errorString() const
{
    return m_error;
}

bool CurlLibrary::open(const QByteArray &fileName)
{
    // Never closed: handles and callbacks may live until the process ends.
    void *handle = dlopen(fileName.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        m_error = QStringLiteral("cannot load %1: %2")
                      .arg(QString::fromLocal8Bit(fileName), QString::fromLocal8Bit(dlerror()));
        return false;
    }

    QString missing;
    auto resolve = [&](auto &function, const char *name) {
        function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(handle, name));
        if (!function && missing.isEmpty())
            missing = QString::fromLatin1(name);
    };
    decltype(&curl_global_init) globalInit = nullptr;
    resolve(globalInit, "curl_global_init");
    resolve(easyInit, "curl_easy_init");
    resolve(easyCleanup, "curl_easy_cleanup");
    resolve(easySetopt, "curl_easy_setopt");
    resolve(easyGetinfo, "curl_easy_getinfo");
    resolve(easyPause, "curl_easy_pause");
    resolve(easyStrerror, "curl_easy_strerror");
    resolve(slistAppend, "curl_slist_append");
    resolve(slistFreeAll, "curl_slist_free_all");
    resolve(multiInit, "curl_multi_init");
    resolve(multiCleanup, "curl_multi_cleanup");
    resolve(multiAddHandle, "curl_multi_add_handle");
    resolve(multiRemoveHandle, "curl_multi_remove_handle");
    resolve(multiPerform, "curl_multi_perform");
    resolve(multiInfoRead, "curl_multi_info_read");
    resolve(multiPoll, "curl_multi_poll");
    resolve(multiWakeup, "curl_multi_wakeup");

    if (!missing.isEmpty()) {
        m_error = QStringLiteral("%1 lacks %2").arg(QString::fromLocal8Bit(fileName), missing);
        return false;
    }
    const CURLcode initialised = globalInit(CURL_GLOBAL_DEFAULT);
    if (initialised != CURLE_OK) {
        m_error = QStringLiteral("curl_global_init failed with code %1").arg(int(initialised));
        return false;
    }
    return true;
}

} // namespace platform::net
