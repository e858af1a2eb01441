// libFuzzer harness for the simulator's scenario files: any bytes are a scenario.
#include "SimNetwork.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QJsonDocument doc =
        QJsonDocument::fromJson(QByteArray::fromRawData(reinterpret_cast<const char *>(data), int(size)));
    if (!doc.isObject())
        return 0;
    QString error;
    // A fixed "now" in 2024 keeps recordings short enough to fill.
    const std::optional<SimNetwork> network = SimNetwork::FromJson(doc.object(), 1700000000, 7, &error);
    if (!network && error.isEmpty())
        std::abort(); // a refusal always says why
    return 0;
}
