// The .strings reader on arbitrary bytes: any input parses or is refused with a reason.
#include "FuzzInput.h"

#include <platform/StringsTable.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    QString error;
    const auto table = platform::StringsTable::parse(FuzzInput::bytes(data, size), &error);
    if (!table && error.isEmpty())
        std::abort();
    return 0;
}
