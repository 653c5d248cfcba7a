// The keys-only reader against PropertyList::read on XML property lists. Input that would not
// be detected as XML gets an XML declaration in front, so every execution reaches both XML
// readers.

#include "../common/PropertyListKeysFuzzing.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QByteArray start = bytes.trimmed().left(6);
    if (!start.startsWith("<?") && !start.startsWith("<!") && !start.startsWith("<plist"))
        bytes.prepend("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n");
    PropertyListKeysFuzzing::check(bytes);
    return 0;
}
