// The property-list reader on arbitrary XML and binary lists, deep nesting and
// large inputs included: it answers a value or an error, and what it reads
// back from its own XML is the value it wrote (dates, 64-bit integers,
// strings and data alike); the writer refuses only dates with a fraction of a
// second, which XML cannot hold.
#include "FuzzInput.h"

#include <platform/PropertyList.h>

#include <QDateTime>

#include <cmath>
#include <cstdlib>

namespace {

/// Equal values, NaN equal to itself.
bool same(const QVariant &a, const QVariant &b)
{
    if (a.metaType() != b.metaType())
        return false;
    if (a.metaType().id() == QMetaType::Double)
        return (std::isnan(a.toDouble()) && std::isnan(b.toDouble())) || a.toDouble() == b.toDouble();
    if (a.metaType().id() == QMetaType::QVariantList) {
        const QVariantList x = a.toList(), y = b.toList();
        return x.size() == y.size() && std::equal(x.begin(), x.end(), y.begin(), same);
    }
    if (a.metaType().id() == QMetaType::QVariantMap) {
        const QVariantMap x = a.toMap(), y = b.toMap();
        return x.keys() == y.keys() && std::equal(x.begin(), x.end(), y.begin(), same);
    }
    return a == b;
}

bool holdsFractionalDate(const QVariant &value)
{
    switch (value.metaType().id()) {
    case QMetaType::QDateTime:
        return value.toDateTime().toMSecsSinceEpoch() % 1000 != 0;
    case QMetaType::QVariantList:
        return std::ranges::any_of(value.toList(), holdsFractionalDate);
    case QMetaType::QVariantMap:
        return std::ranges::any_of(value.toMap(), holdsFractionalDate);
    default:
        return false;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray input = FuzzInput::bytes(data, size);
    QString error;
    platform::PropertyList::isNestingWithin(input, platform::PropertyList::defaultMaxDepth, &error);
    const auto value = platform::PropertyList::fromData(input, &error);
    if (!value) {
        if (error.isEmpty())
            std::abort();
        return 0;
    }
    const QByteArray xml = platform::PropertyList::toXml(*value);
    if (xml.isEmpty()) {
        if (!holdsFractionalDate(*value))
            std::abort();
        return 0;
    }
    const auto again = platform::PropertyList::fromData(xml);
    if (!again || !same(*value, *again))
        std::abort();
    return 0;
}
