// libFuzzer harness for the data-file reader: any bytes are a file. An accepted file must give
// a consistent store; a refused one leaves the store as it was.
#include "storage/CCorvFile.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static CNodeDataSave store; // large: made once
    store.rangeCount = 0;
    store.name = QStringLiteral("before");
    const QByteArray file(reinterpret_cast<const char *>(data), int(size));
    const DataFile::Fault fault = DataFile::ReadFile(file, store);
    if (fault != DataFile::Fault::None) {
        if (store.rangeCount != 0 || store.name != QLatin1String("before") ||
            DataFile::FaultText(fault).isEmpty())
            std::abort();
        return 0;
    }
    if (store.rangeCount < 1 || store.rangeCount > CNodeDataSave::kCapacity || store.interval < 1)
        std::abort();
    for (int i = 0; i < store.rangeCount; ++i) {
        if ((i > 0 && store.times()[i] <= store.times()[i - 1]) ||
            (store.ch1Count > i && !std::isfinite(store.ch1()[i])) ||
            (store.ch2Count > i && !std::isfinite(store.ch2()[i])))
            std::abort();
    }
    return 0;
}
