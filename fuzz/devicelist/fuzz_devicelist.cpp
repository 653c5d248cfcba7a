// Any bytes either decode into a device list or fail with an Error; the lookups on a decoded
// list must hold for every device it contains.

#include "tools/DeviceList.h"
#include "tools/Error.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    DeviceList list;
    try {
        list =
            DeviceList::decode(QByteArray(reinterpret_cast<const char *>(data), qsizetype(size)));
    } catch (const Error &) {
        return 0;
    }
    const QList<SimulatorDevice> all = list.flattened();
    for (const SimulatorDevice &device : all) {
        if (!list.device(device.udid))
            __builtin_trap(); // every device is found by its own udid
    }
    const QList<SimulatorDevice> available = list.availableDevices();
    for (const SimulatorDevice &device : available) {
        if (!device.isAvailable)
            __builtin_trap();
    }
    if (available.size() > all.size())
        __builtin_trap();
    return 0;
}
