#pragma once

#include <QRandomGenerator>
#include <QString>

#include <algorithm>
#include <concepts>
#include <iterator>
#include <optional>
#include <random>
#include <set>
#include <vector>

/**
 * @file
 * Helpers for lists of text, lists, dictionaries and indexed collections.
 *
 * Everything here is a template and works with Qt and standard containers
 * alike (QList, QStringList, std::vector; QMap, QHash, QVariantMap,
 * std::map). Element types need equality; when they are also ordered
 * (operator<) the set-like helpers run in n·log n instead of n².
 *
 * @code
 * mira::merge(QStringList{city, QString(), country}, QStringLiteral(", ")); // "Berlin, Germany"
 * const auto second = mira::safe(hosts, 1);                                 // std::nullopt when too short
 * using mira::operator+;
 * const QVariantMap params = defaults + overrides;                          // overrides win
 * @endcode
 */
namespace mira {

namespace detail {
template <typename Container>
using ElementOf = std::remove_cvref_t<decltype(*std::begin(std::declval<const Container &>()))>;

template <typename Container> std::vector<ElementOf<Container>> distinctSorted(const Container &elements)
{
    std::vector<ElementOf<Container>> sorted(std::begin(elements), std::end(elements));
    std::sort(sorted.begin(), sorted.end());
    sorted.erase(std::unique(sorted.begin(), sorted.end()), sorted.end());
    return sorted;
}

template <typename Container, typename Element> bool contains(const Container &elements, const Element &element)
{
    return std::find(std::begin(elements), std::end(elements), element) != std::end(elements);
}

template <typename Container> void reserve(Container &container, qsizetype size)
{
    if constexpr (requires { container.reserve(size); })
        container.reserve(size);
}

template <typename Map>
concept MapLike = requires
{
    typename Map::key_type;
    typename Map::mapped_type;
};
} // namespace detail

/// The non-empty texts of @p texts joined with @p separator; empty texts
/// are skipped. An empty list, or one with only empty texts, gives "".
template <typename Texts> QString merge(const Texts &texts, const QString &separator)
{
    QString merged;
    bool first = true;
    for (const QString &text : texts) {
        if (text.isEmpty())
            continue;
        if (!first)
            merged += separator;
        merged += text;
        first = false;
    }
    return merged;
}

/// The first non-empty text of @p texts, or std::nullopt when there is none.
template <typename Texts> std::optional<QString> firstNotEmpty(const Texts &texts)
{
    for (const QString &text : texts) {
        if (!text.isEmpty())
            return text;
    }
    return std::nullopt;
}

/**
 * Up to @p n elements of @p elements picked at random, never picking the
 * same position twice, in random order. Fewer come back when the list is
 * shorter; a negative @p n gives an empty list. @p generator is any
 * standard uniform random bit generator (tests pass a seeded one).
 */
template <typename Container, typename Generator>
Container random(const Container &elements, qsizetype n, Generator &&generator)
{
    std::vector<qsizetype> positions(std::size(elements));
    for (qsizetype i = 0; i < qsizetype(positions.size()); ++i)
        positions[i] = i;
    const qsizetype count = std::clamp<qsizetype>(n, 0, qsizetype(positions.size()));
    Container picked;
    detail::reserve(picked, count);
    for (qsizetype i = 0; i < count; ++i) {
        // A partial Fisher-Yates shuffle: only the first n positions are drawn.
        std::uniform_int_distribution<qsizetype> pick(i, qsizetype(positions.size()) - 1);
        std::swap(positions[i], positions[pick(generator)]);
        picked.push_back(*std::next(std::begin(elements), positions[i]));
    }
    return picked;
}

/// random() drawing from the process-wide secure generator.
template <typename Container> Container random(const Container &elements, qsizetype n)
{
    return random(elements, n, *QRandomGenerator::global());
}

/**
 * True when @p a and @p b do NOT hold the same distinct elements (some
 * element is in one and not in the other); false when their element sets
 * are equal. Repeats and order are ignored: [1, 2, 2] and [2, 1] answer
 * false, [1, 2] and [1, 3] answer true.
 *
 * The name reads the other way round; callers depend on this answer, so it
 * stays.
 */
template <typename Container> bool sameElement(const Container &a, const Container &b)
{
    using Element = detail::ElementOf<Container>;
    if constexpr (std::totally_ordered<Element>) {
        return detail::distinctSorted(a) != detail::distinctSorted(b);
    } else {
        for (const auto &element : a) {
            if (!detail::contains(b, element))
                return true;
        }
        for (const auto &element : b) {
            if (!detail::contains(a, element))
                return true;
        }
        return false;
    }
}

/// The elements of @p elements in order, with every later repeat removed:
/// [3, 1, 3, 2, 1] gives [3, 1, 2].
template <typename Container> Container removeDuplicates(const Container &elements)
{
    using Element = detail::ElementOf<Container>;
    Container unique;
    if constexpr (std::totally_ordered<Element>) {
        std::set<Element> seen;
        for (const auto &element : elements) {
            if (seen.insert(element).second)
                unique.push_back(element);
        }
    } else {
        for (const auto &element : elements) {
            if (!detail::contains(unique, element))
                unique.push_back(element);
        }
    }
    return unique;
}

/**
 * @p left with every pair of @p right added; on equal keys the right side
 * wins. For maps with unique keys (QMap, QHash, std::map, ...). Bring it
 * into scope with `using mira::operator+;`.
 */
template <detail::MapLike Map> Map operator+(const Map &left, const Map &right)
{
    Map merged = left;
    if constexpr (requires(typename Map::const_iterator it) { it.key(); }) {
        for (auto it = right.cbegin(); it != right.cend(); ++it)
            merged.insert(it.key(), it.value());
    } else {
        for (const auto &[key, value] : right)
            merged.insert_or_assign(key, value);
    }
    return merged;
}

/// @p left unchanged when @p right is absent, else left + *right.
template <detail::MapLike Map> Map operator+(const Map &left, const std::optional<Map> &right)
{
    return right ? left + *right : left;
}

/// The element at @p index, or std::nullopt when @p index is negative or
/// not less than the collection's size.
template <typename Container>
std::optional<detail::ElementOf<Container>> safe(const Container &elements, qsizetype index)
{
    if (index < 0 || index >= qsizetype(std::size(elements)))
        return std::nullopt;
    return *std::next(std::begin(elements), index);
}

} // namespace mira
