// The property-list reader on arbitrary XML and binary lists, deep nesting and
// large inputs included: it answers a value or an error, and what it reads
// back from its own XML is the value it wrote.
#include "FuzzInput.h"

#include <platform/PropertyList.h>

#include <cstdlib>

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
    if (!xml.isEmpty() && !platform::PropertyList::fromData(xml))
        std::abort();
    return 0;
}
