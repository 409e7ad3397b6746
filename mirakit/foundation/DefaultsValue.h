#pragma once

#include <QString>
#include <QStringList>
#include <QVariant>

#include <concepts>
#include <optional>
#include <utility>

namespace mira {

/**
 * Reads a value of type T back from a user-defaults store.
 *
 * The store's file keeps numbers and Booleans as text, so a value written
 * as 42 or true by one process reads back as "42" or "true" in the next.
 * This conversion accepts exactly those spellings for the number and
 * Boolean types (in range, nothing left over) and otherwise requires the
 * stored type to be T itself. A QStringList of one element is stored as a
 * single text, so a text reads back as a one-element list.
 */
template <typename T> std::optional<T> fromDefaultsValue(const QVariant &stored)
{
    if (!stored.isValid())
        return std::nullopt;
    const bool isText = stored.metaType() == QMetaType::fromType<QString>();
    if constexpr (std::same_as<T, bool>) {
        if (stored.metaType() == QMetaType::fromType<bool>())
            return stored.toBool();
        if (isText && (stored.toString() == QLatin1String("true") || stored.toString() == QLatin1String("false")))
            return stored.toString() == QLatin1String("true");
        return std::nullopt;
    } else if constexpr (std::integral<T>) {
        const QMetaType type = stored.metaType();
        const bool isInteger = type == QMetaType::fromType<int>() || type == QMetaType::fromType<uint>()
            || type == QMetaType::fromType<qlonglong>() || type == QMetaType::fromType<qulonglong>();
        if (!isText && !isInteger)
            return std::nullopt;
        bool ok = false;
        const qlonglong number = stored.toLongLong(&ok);
        if (!ok || !std::in_range<T>(number))
            return std::nullopt;
        return T(number);
    } else if constexpr (std::floating_point<T>) {
        bool ok = false;
        const QMetaType type = stored.metaType();
        if (!isText && type != QMetaType::fromType<double>() && type != QMetaType::fromType<float>()
            && type != QMetaType::fromType<int>() && type != QMetaType::fromType<qlonglong>())
            return std::nullopt;
        const double number = stored.toDouble(&ok);
        return ok ? std::optional<T>(T(number)) : std::nullopt;
    } else if constexpr (std::same_as<T, QStringList>) {
        if (isText)
            return QStringList { stored.toString() };
        if (stored.metaType() == QMetaType::fromType<QStringList>())
            return stored.toStringList();
        return std::nullopt;
    } else {
        if (stored.metaType() != QMetaType::fromType<T>())
            return std::nullopt;
        return stored.value<T>();
    }
}

} // namespace mira
