#pragma once

#include <mirakit/interactive/ProgressGenerateProtocol.h>
#include <mirakit/mirakit_export.h>

#include <QObject>

#include <functional>
#include <memory>

class QWidget;

namespace mira {

class DisplayLink;
class ProgressGeneratePrivate;

/**
 * A number that moves in a straight line from fromValue() to toValue() over
 * a duration, reported to the update block once per screen refresh (on a
 * DisplayLink, so on platform::Scheduler's virtual time in tests), with the
 * completion block called once right after the update that reaches the end.
 *
 * Steps follow elapsed time, not ticks: after a stall the next update jumps
 * to where the value should be by now, and the last update is exactly
 * toValue(). A duration of 0 or one that is not a number reports toValue()
 * and completes at once, without a clock; a negative one starts a clock that
 * does so at its first tick. progress() starts from currentValue(), which is
 * 0 until a clocked run has moved the generator. stopProgress()
 * reports the value reached and never completes. Destroying the generator
 * (or its owner, when it is the owner's child) stops the clock; no block runs
 * afterwards.
 *
 * Defaults: fromValue 0, toValue 1, totalDuration 1 s, no blocks.
 *
 * @code
 * auto *counter = new mira::ProgressGenerate(label);
 * counter->setUpdateBlock([label](double value) { label->setNum(qRound(value)); });
 * counter->progressForm(0, 100, 0.8);
 * @endcode
 */
class MIRAKIT_EXPORT ProgressGenerate : public QObject, public ProgressGenerateProtocol {
    Q_OBJECT

public:
    using UpdateBlock = std::function<void(double value)>;
    using CompletionBlock = std::function<void()>;

    explicit ProgressGenerate(QObject *parent = nullptr);
    ~ProgressGenerate() override;

    UpdateBlock updateBlock() const;
    void setUpdateBlock(UpdateBlock block);
    CompletionBlock completionBlock() const;
    void setCompletionBlock(CompletionBlock block);

    /// The widget whose screen paces the clock; the primary screen when none. Read at each start.
    void setWidget(QWidget *widget);

    void progressForm(double from, double to, double duration) override;
    void progress(double to, double duration) override;
    void stopProgress() override;

    /// True while a run is under way.
    bool isProgressing() const;
    /// Elapsed / total time of the run (1 when the total is 0); not clamped.
    double progress() const;
    /// 0 before a run has advanced, toValue() once it has ended, else the point on the line.
    double currentValue() const;
    double fromValue() const;
    double toValue() const;
    /// Seconds elapsed in the current or last run.
    double currentDuration() const;
    /// Seconds the current or last run lasts.
    double totalDuration() const;

    /// Stops the clock and puts the values back to their defaults, without reporting.
    void reset();
    /// Stops the clock without reporting.
    void invalidate();

private:
    void updateValue();
    // Calls the update block with @p value, then, when @p ended and no block
    // started or stopped a run meanwhile, the completion block.
    void report(double value, bool ended);

    std::unique_ptr<ProgressGeneratePrivate> const d;
};

} // namespace mira
