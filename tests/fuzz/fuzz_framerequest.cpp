// libFuzzer harness for the request JSON of "frame request".
#include "cli/FrameRequestJson.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const FrameRequestResult r =
        BuildFrameRequest(QByteArray(reinterpret_cast<const char *>(data), int(size)), 1700000000);
    if (r.error.isEmpty() == r.json.isEmpty())
        std::abort(); // either a frame or a reason
    if (r.error.isEmpty() && r.json.value(QStringLiteral("hex")).toString().size() != 128)
        std::abort();
    return 0;
}
