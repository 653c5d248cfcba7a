// The keys-only reader against PropertyList::read on binary property lists. Input without the
// "bplist" magic gets "bplist00" in front, so every execution reaches both binary readers.

#include "../common/PropertyListKeysFuzzing.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    if (!bytes.startsWith("bplist"))
        bytes.prepend("bplist00");
    PropertyListKeysFuzzing::check(bytes);
    return 0;
}
