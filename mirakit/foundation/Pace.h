#pragma once

#include <mirakit/foundation/PaceQueue.h>
#include <mirakit/foundation/PaceResult.h>

#include <QtGlobal>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <tuple>

namespace mira {

template <typename T> class Pace;

namespace detail {
template <typename> struct IsPace : std::false_type {
};
template <typename U> struct IsPace<Pace<U>> : std::true_type {
};
template <typename> struct IsStdFunction : std::false_type {
};
template <typename S> struct IsStdFunction<std::function<S>> : std::true_type {
};

/// Stops the process when an optional step (a std::function or a function
/// pointer) is empty: a chain built with a missing step is a programming error.
template <typename F> void requireStep(const F &step, const char *what)
{
    if constexpr (IsStdFunction<F>::value || std::is_pointer_v<F>) {
        if (!step)
            qFatal("Pace: %s step is missing", what);
    }
}
} // namespace detail

/**
 * A description of asynchronous work that runs only when asked.
 *
 * A Pace wraps a body that, when run, calls its callback with one
 * PaceResult. Steps added with map(), flatmap(), then() and schedule()
 * return new chains; nothing runs until excute(). A Pace is a cheap value:
 * copies share their steps, and running the same Pace twice runs its body
 * twice.
 *
 * Errors travel as failures: whatever a step throws becomes the chain's
 * failure, and no step after a failure runs. A body that calls its callback
 * more than once completes the chain only once (later calls are ignored).
 *
 * Steps run on whatever thread the previous step called back on; only
 * schedule() moves work, to a PaceQueue.
 *
 * @code
 * mira::Pace<QByteArray> download([](auto done) { fetch(url, done); });
 * download.map([](const QByteArray &bytes) { return parse(bytes); })   // may throw
 *     .schedule(mira::PaceQueue::main())
 *     .excute([](const mira::PaceResult<Catalog> &result) {
 *         if (result.isSuccess()) show(result.value()); else warn(result.errorString());
 *     });
 * @endcode
 *
 * Missing bodies, steps or completions are programming errors and stop the
 * process with a message.
 */
template <typename T> class Pace {
public:
    using ValueType = T;
    using Result = PaceResult<T>;
    using Callback = std::function<void(Result)>;
    using Body = std::function<void(Callback)>;

    /// Wraps @p body; it must eventually call its callback with the outcome.
    explicit Pace(Body body)
        : m_body(std::move(body))
    {
    }

    /// Runs the chain; @p completion receives its one outcome. Spelled as callers know it.
    void excute(Callback completion) const
    {
        detail::requireStep(completion, "completion");
        run(m_body, std::move(completion));
    }

    /// A chain whose value is @p transform applied to this one's (T -> U).
    template <typename F> auto map(F transform) const -> Pace<std::invoke_result_t<const F &, const T &>>
    {
        detail::requireStep(transform, "map");
        using U = std::invoke_result_t<const F &, const T &>;
        return flatmap([transform](const T &value) { return Pace<U>::unit(std::invoke(transform, value)); });
    }

    /// A chain that continues with the chain @p transform returns (T -> Pace<U>).
    template <typename F> auto flatmap(F transform) const -> std::invoke_result_t<const F &, const T &>
    {
        using Next = std::invoke_result_t<const F &, const T &>;
        static_assert(detail::IsPace<Next>::value, "flatmap's transform must return a Pace");
        using U = typename Next::ValueType;
        detail::requireStep(transform, "flatmap");
        return Next([body = m_body, transform](typename Next::Callback done) {
            run(body, [transform, done](Result result) {
                if (!result.isSuccess())
                    return done(PaceResult<U>::failure(result.error()));
                std::optional<Next> next;
                try {
                    next.emplace(std::invoke(transform, result.value()));
                } catch (...) {
                    return done(PaceResult<U>::failure(std::current_exception()));
                }
                Next::run(next->m_body, done);
            });
        });
    }

    /// A chain that continues with @p body, which receives the value and the
    /// downstream callback and decides when and with what to call it:
    /// `then<int>([](const QString &text, auto done) { ... done(PaceResult<int>::success(1)); })`.
    template <typename U, typename G> Pace<U> then(G body) const
    {
        detail::requireStep(body, "then");
        return Pace<U>([upstream = m_body, body](typename Pace<U>::Callback done) {
            run(upstream, [body, done](Result result) {
                if (!result.isSuccess())
                    return done(PaceResult<U>::failure(result.error()));
                Pace<U>::run(
                    [body, value = std::move(result.value())](typename Pace<U>::Callback callback) {
                        try {
                            std::invoke(body, value, callback);
                        } catch (...) {
                            callback(PaceResult<U>::failure(std::current_exception()));
                        }
                    },
                    done);
            });
        });
    }

    /// A chain that delivers this one's outcome, success or failure, on
    /// @p queue once @p after has passed since this chain finished. The
    /// delivery is always asynchronous, even with no delay.
    Pace schedule(std::shared_ptr<PaceQueue> queue, PaceQueue::Duration after = {}) const
    {
        if (!queue)
            qFatal("Pace: schedule needs a queue");
        return Pace([body = m_body, queue, after](Callback done) {
            run(body, [queue, after, done](Result result) {
                queue->async(after, [done, result = std::move(result)] { done(result); });
            });
        });
    }

private:
    template <typename> friend class Pace;
    template <typename... Ts> friend Pace<std::tuple<Ts...>> zip(const Pace<Ts> &...parts);

    static Pace unit(T value)
    {
        return Pace([value = std::move(value)](Callback done) { done(Result::success(value)); });
    }

    /// Runs @p body with a callback that lets only its first outcome through.
    static void run(const Body &body, Callback callback)
    {
        if (!body)
            qFatal("Pace: the chain has no body");
        auto delivered = std::make_shared<std::atomic_bool>(false);
        body([delivered, callback = std::move(callback)](Result result) {
            if (!delivered->exchange(true))
                callback(std::move(result));
        });
    }

    Body m_body;
};

/**
 * Joins two to four chains into one whose value is the tuple of their
 * values, in argument order whichever finishes first.
 *
 * The parts run one after the other (each body is started in argument
 * order) and may finish on any threads. The joined chain completes once:
 * with the tuple when every part succeeds, or with the first failure to
 * arrive; later failures and successes are ignored.
 */
template <typename... Ts> Pace<std::tuple<Ts...>> zip(const Pace<Ts> &...parts)
{
    static_assert(sizeof...(Ts) >= 2 && sizeof...(Ts) <= 4, "zip joins two to four chains");
    using Tuple = std::tuple<Ts...>;
    using Joined = Pace<Tuple>;
    return Joined([bodies = std::make_tuple(parts.m_body...)](typename Joined::Callback done) {
        struct Slots {
            std::mutex mutex;
            bool finished = false;
            std::tuple<std::optional<Ts>...> values;
        };
        auto state = std::make_shared<Slots>();
        auto start = [&]<std::size_t I>(std::integral_constant<std::size_t, I>) {
            using Part = std::tuple_element_t<I, std::tuple<Pace<Ts>...>>;
            Part::run(std::get<I>(bodies), [state, done](typename Part::Result result) {
                std::unique_lock lock(state->mutex);
                if (state->finished)
                    return;
                if (!result.isSuccess()) {
                    state->finished = true;
                    lock.unlock();
                    return done(Joined::Result::failure(result.error()));
                }
                std::get<I>(state->values).emplace(std::move(result.value()));
                const bool complete
                    = std::apply([](const auto &...slot) { return (slot.has_value() && ...); }, state->values);
                if (!complete)
                    return;
                state->finished = true;
                Tuple tuple = std::apply([](auto &...slot) { return Tuple(std::move(*slot)...); }, state->values);
                lock.unlock();
                done(Joined::Result::success(std::move(tuple)));
            });
        };
        [&]<std::size_t... I>(std::index_sequence<I...>) { (start(std::integral_constant<std::size_t, I>()), ...); }
        (std::index_sequence_for<Ts...>());
    });
}

} // namespace mira
