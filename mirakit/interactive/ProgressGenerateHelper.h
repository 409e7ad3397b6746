#pragma once

#include <mirakit/interactive/ProgressGenerate.h>

#include <QPointer>

#include <functional>

namespace mira {

/**
 * Gives an owner (a QObject subclass that keeps a ProgressGenerate) the
 * generator's start and stop operations, and block setters that hand the
 * owner to the block without keeping it alive: once the owner is destroyed
 * its blocks do nothing.
 *
 * The owner derives from ProgressGenerateHelper<Owner> and answers
 * progressGenerate() with its generator.
 *
 * @code
 * class Counter : public QLabel, public mira::ProgressGenerateHelper<Counter> {
 * public:
 *     Counter() { setUpdateBlock([](Counter *self, double value) { self->setNum(value); }); }
 *     mira::ProgressGenerate &progressGenerate() override { return m_generate; }
 * private:
 *     mira::ProgressGenerate m_generate;
 * };
 * @endcode
 */
template <typename Owner> class ProgressGenerateHelper : public ProgressGenerateProtocol {
public:
    /// The owner's generator.
    virtual ProgressGenerate &progressGenerate() = 0;

    /// Installs @p block as the generator's update block (an empty one clears it).
    void setUpdateBlock(std::function<void(Owner *, double)> block)
    {
        if (!block) {
            progressGenerate().setUpdateBlock({});
            return;
        }
        progressGenerate().setUpdateBlock([owner = weakOwner(), block](double value) {
            if (Owner *strong = owner.data())
                block(strong, value);
        });
    }

    /// Installs @p block as the generator's completion block (an empty one clears it).
    /// Spelled as callers know it.
    void setCompltionBlock(std::function<void(Owner *)> block)
    {
        if (!block) {
            progressGenerate().setCompletionBlock({});
            return;
        }
        progressGenerate().setCompletionBlock([owner = weakOwner(), block] {
            if (Owner *strong = owner.data())
                block(strong);
        });
    }

    void progressForm(double from, double to, double duration) override
    {
        progressGenerate().progressForm(from, to, duration);
    }
    void progress(double to, double duration) override { progressGenerate().progress(to, duration); }
    void stopProgress() override { progressGenerate().stopProgress(); }

private:
    QPointer<Owner> weakOwner() { return QPointer<Owner>(static_cast<Owner *>(this)); }
};

} // namespace mira
