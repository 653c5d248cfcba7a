// Any bytes, in whichever form PropertyList::read detects, go through the common check.

#include "../common/PropertyListFuzzing.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    PropertyListFuzzing::checkRead(
        QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    return 0;
}
