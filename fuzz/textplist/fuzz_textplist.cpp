// Any bytes either read as a property list or fail with PropertyList::ParseError; anything
// else (a crash, a hang, another exception, a sanitizer report) is a finding.

#include "tools/PropertyList.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    try {
        const QVariant value =
            PropertyList::read(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
        if (!value.isValid())
            __builtin_trap(); // a successful read always has a value
    } catch (const PropertyList::ParseError &) {
    }
    return 0;
}
