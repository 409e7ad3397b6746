#pragma once

#include <mirakit/foundation/PaceQueue.h>

#include <QPointer>
#include <QThreadPool>

namespace mira {

/// A PaceQueue on a QThreadPool (see PaceQueue::background()).
class MIRAKIT_EXPORT BackgroundQueue final : public PaceQueue {
public:
    /// Runs work on @p pool; the global pool when null.
    explicit BackgroundQueue(QThreadPool *pool = nullptr);

    void async(Duration delay, Work work) override;

private:
    QPointer<QThreadPool> m_pool;
};

} // namespace mira
