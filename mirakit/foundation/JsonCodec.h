#pragma once

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonValue>
#include <QList>
#include <QString>
#include <QStringList>

#include <cmath>
#include <concepts>
#include <limits>
#include <optional>
#include <utility>
#include <vector>

namespace mira {

/**
 * How a value becomes JSON and back, for the keychain and defaults stores.
 *
 * Provided for bool, integers, floating-point numbers, QString and lists
 * (QList, std::vector, QStringList) of those. A type of your own works when
 * it has
 * @code
 * QJsonValue toJson() const;
 * static std::optional<MyType> fromJson(const QJsonValue &json);
 * @endcode
 * or when you specialise JsonCodec for it. Decoding is strict: a number
 * never decodes as text or the other way round, an integer out of range or
 * with a fraction does not decode, and encode() refuses values JSON cannot
 * hold (NaN, infinities, integers beyond 64-bit signed range).
 */
template <typename T> struct JsonCodec {
    static std::optional<QJsonValue> encode(const T &value) requires requires
    {
        {
            value.toJson()
            } -> std::convertible_to<QJsonValue>;
    }
    {
        return value.toJson();
    }
    static std::optional<T> decode(const QJsonValue &json) requires requires
    {
        {
            T::fromJson(json)
            } -> std::convertible_to<std::optional<T>>;
    }
    {
        return T::fromJson(json);
    }
};

template <> struct JsonCodec<bool> {
    static std::optional<QJsonValue> encode(bool value) { return QJsonValue(value); }
    static std::optional<bool> decode(const QJsonValue &json)
    {
        return json.isBool() ? std::optional<bool>(json.toBool()) : std::nullopt;
    }
};

template <std::integral T>
requires(!std::same_as<T, bool>) struct JsonCodec<T> {
    static std::optional<QJsonValue> encode(T value)
    {
        if (!std::in_range<qint64>(value))
            return std::nullopt;
        return QJsonValue(qint64(value));
    }
    static std::optional<T> decode(const QJsonValue &json)
    {
        if (!json.isDouble())
            return std::nullopt;
        // toInteger() refuses numbers with a fraction or beyond qint64.
        constexpr qint64 notInteger = std::numeric_limits<qint64>::min();
        const qint64 number = json.toInteger(notInteger);
        if (number == notInteger && json.toDouble() != double(notInteger))
            return std::nullopt;
        if (!std::in_range<T>(number))
            return std::nullopt;
        return T(number);
    }
};

template <std::floating_point T> struct JsonCodec<T> {
    static std::optional<QJsonValue> encode(T value)
    {
        if (!std::isfinite(value))
            return std::nullopt;
        return QJsonValue(double(value));
    }
    static std::optional<T> decode(const QJsonValue &json)
    {
        return json.isDouble() ? std::optional<T>(T(json.toDouble())) : std::nullopt;
    }
};

template <> struct JsonCodec<QString> {
    static std::optional<QJsonValue> encode(const QString &value) { return QJsonValue(value); }
    static std::optional<QString> decode(const QJsonValue &json)
    {
        return json.isString() ? std::optional<QString>(json.toString()) : std::nullopt;
    }
};

namespace detail {
template <typename List> struct JsonListCodec {
    using Element = typename List::value_type;
    static std::optional<QJsonValue> encode(const List &list)
    {
        QJsonArray array;
        for (const Element &element : list) {
            std::optional<QJsonValue> json = JsonCodec<Element>::encode(element);
            if (!json)
                return std::nullopt;
            array.append(*json);
        }
        return QJsonValue(array);
    }
    static std::optional<List> decode(const QJsonValue &json)
    {
        if (!json.isArray())
            return std::nullopt;
        List list;
        for (const QJsonValue &item : json.toArray()) {
            std::optional<Element> element = JsonCodec<Element>::decode(item);
            if (!element)
                return std::nullopt;
            list.push_back(std::move(*element));
        }
        return list;
    }
};
} // namespace detail

template <typename E> struct JsonCodec<QList<E>> : detail::JsonListCodec<QList<E>> {
};
template <typename E> struct JsonCodec<std::vector<E>> : detail::JsonListCodec<std::vector<E>> {
};

/// @p value as the stored form of the stores: a one-element JSON array
/// (["abc"], [42]) in compact UTF-8. nullopt when the value cannot be encoded.
template <typename T> std::optional<QByteArray> encodeJsonBox(const T &value)
{
    std::optional<QJsonValue> json = JsonCodec<T>::encode(value);
    if (!json)
        return std::nullopt;
    return QJsonDocument(QJsonArray { *json }).toJson(QJsonDocument::Compact);
}

/// The first element of @p data read as a JSON array of T; nullopt when the
/// data is not JSON, not an array, empty, or holds an element that is not a T.
template <typename T> std::optional<T> decodeJsonBox(const QByteArray &data)
{
    const QJsonDocument document = QJsonDocument::fromJson(data);
    if (!document.isArray() || document.array().isEmpty())
        return std::nullopt;
    std::optional<std::vector<T>> values = detail::JsonListCodec<std::vector<T>>::decode(document.array());
    if (!values)
        return std::nullopt;
    return std::move(values->front());
}

} // namespace mira
