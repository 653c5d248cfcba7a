// Binary property lists through PropertyList::read (structure check, then libplist). Input
// without the "bplist" magic gets "bplist00" in front, so every execution reaches the binary
// reader.

#include "../common/PropertyListFuzzing.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!bytes.startsWith("bplist"))
        bytes.prepend("bplist00");
    PropertyListFuzzing::checkRead(bytes);
    return 0;
}
