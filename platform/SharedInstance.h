#pragma once

#include <atomic>

namespace platform {

/**
 * The process-wide instance of a service that tests may replace.
 *
 * instance() is the replacement when one is set, otherwise a @p Default made
 * on first use and kept until exit. replace() may be called from any thread;
 * nullptr restores the default, and the caller keeps ownership of what it
 * sets. A service keeps one SharedInstance in its source file and forwards
 * its static shared() and setShared() to it:
 *
 * @code
 * namespace { constinit SharedInstance<Workspace> sharedWorkspace; }
 * Workspace &Workspace::shared() { return sharedWorkspace.instance(); }
 * void Workspace::setShared(Workspace *workspace) { sharedWorkspace.replace(workspace); }
 * @endcode
 */
template <typename Service, typename Default = Service> class SharedInstance {
public:
    constexpr SharedInstance() = default;
    SharedInstance(const SharedInstance &) = delete;
    SharedInstance &operator=(const SharedInstance &) = delete;

    Service &instance()
    {
        if (Service *replaced = m_replacement.load())
            return *replaced;
        static Default standard;
        return standard;
    }

    void replace(Service *replacement) { m_replacement.store(replacement); }

private:
    std::atomic<Service *> m_replacement { nullptr };
};

} // namespace platform
