#pragma once

#include <QString>

#include <exception>
#include <functional>
#include <stdexcept>
#include <type_traits>
#include <utility>
#include <variant>

namespace mira {

template <typename T> class PaceResult;

namespace detail {
template <typename> struct IsPaceResult : std::false_type {
};
template <typename U> struct IsPaceResult<PaceResult<U>> : std::true_type {
    using ValueType = U;
};
} // namespace detail

/**
 * The outcome of a piece of deferred work: a value, or the error that
 * stopped it.
 *
 * Errors are any thrown value, held as a std::exception_ptr, so a chain
 * passes on exactly what a step threw. errorString() gives a readable text
 * for errors derived from std::exception.
 *
 * @code
 * auto parsed = mira::PaceResult<QString>::success(QStringLiteral("42")).map([](const QString &text) {
 *     bool ok = false;
 *     const int number = text.toInt(&ok);
 *     if (!ok)
 *         throw std::invalid_argument("not a number");
 *     return number;
 * }); // success(42)
 * @endcode
 */
template <typename T> class PaceResult {
public:
    using ValueType = T;

    static PaceResult success(T value) { return PaceResult(std::in_place_index<0>, std::move(value)); }

    /// A failure carrying @p error; a null error becomes a std::runtime_error.
    static PaceResult failure(std::exception_ptr error)
    {
        if (!error)
            error = std::make_exception_ptr(std::runtime_error("unknown failure"));
        return PaceResult(std::in_place_index<1>, std::move(error));
    }

    /// A failure carrying a copy of @p error, as if it had been thrown.
    template <typename E>
    requires(!std::is_same_v<std::decay_t<E>, std::exception_ptr>) static PaceResult failure(E &&error)
    {
        return failure(std::make_exception_ptr(std::forward<E>(error)));
    }

    bool isSuccess() const { return m_state.index() == 0; }

    /// The value. Only valid for a success: a failure throws std::bad_variant_access.
    const T &value() const { return std::get<0>(m_state); }
    T &value() { return std::get<0>(m_state); }

    /// The error of a failure; null for a success.
    std::exception_ptr error() const { return isSuccess() ? nullptr : std::get<1>(m_state); }

    /// The what() text of a failure's std::exception; "unknown failure" for
    /// anything else thrown; empty for a success.
    QString errorString() const
    {
        if (isSuccess())
            return {};
        try {
            std::rethrow_exception(std::get<1>(m_state));
        } catch (const std::exception &e) {
            return QString::fromUtf8(e.what());
        } catch (...) {
            return QStringLiteral("unknown failure");
        }
    }

    /// A success transformed by @p transform (T -> U); a failure passes
    /// through; whatever @p transform throws becomes the failure.
    template <typename F> auto map(F &&transform) const -> PaceResult<std::invoke_result_t<F &, const T &>>
    {
        using Next = PaceResult<std::invoke_result_t<F &, const T &>>;
        if (!isSuccess())
            return Next::failure(error());
        try {
            return Next::success(std::invoke(transform, value()));
        } catch (...) {
            return Next::failure(std::current_exception());
        }
    }

    /// What @p transform (T -> PaceResult<U>) returns for a success; a
    /// failure passes through; whatever @p transform throws becomes the failure.
    template <typename F> auto flatMap(F &&transform) const -> std::invoke_result_t<F &, const T &>
    {
        using Next = std::invoke_result_t<F &, const T &>;
        static_assert(detail::IsPaceResult<Next>::value, "flatMap's transform must return a PaceResult");
        if (!isSuccess())
            return Next::failure(error());
        try {
            return std::invoke(transform, value());
        } catch (...) {
            return Next::failure(std::current_exception());
        }
    }

private:
    template <std::size_t I, typename V>
    PaceResult(std::in_place_index_t<I> index, V &&value)
        : m_state(index, std::forward<V>(value))
    {
    }

    std::variant<T, std::exception_ptr> m_state;
};

} // namespace mira
