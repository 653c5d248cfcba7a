// The keys-only reader against PropertyList::read on any bytes, in whichever form both detect
// (mostly the text form).

#include "../common/PropertyListKeysFuzzing.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    PropertyListKeysFuzzing::check(
        QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
