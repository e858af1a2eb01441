// libFuzzer harness for frame extraction and answer decoding. The first input byte chooses how
// the rest is cut into chunks; the rest is the received byte stream.
#include "link/AffairReply.h"
#include "link/FrameCodec.h"
#include "link/ReceiveBuffer.h"

#include <QString>

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

// Checks what every offered record must satisfy, and accepts the complete ones.
class CheckingHandler : public IReplyHandler {
public:
    bool HandleReply(AffairReply &reply) override
    {
        if (!reply.valid || !FrameCodec::CommandCode(reply.type))
            std::abort();
        if (reply.block && (reply.block->received != reply.block->data.size() || reply.block->received > 255))
            std::abort();
        if (reply.phoneSlotMask < 0 || reply.phoneSlotMask > 0x3FF || reply.gprsBindMask < 0 ||
            reply.gprsBindMask > 0x3FF)
            std::abort();
        return reply.IsComplete();
    }
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    const unsigned seed = data[0];
    const auto *stream = reinterpret_cast<const quint8 *>(data + 1);
    const qint64 length = qint64(size - 1);

    ReceiveBuffer buffer;
    CheckingHandler handler;
    qint64 at = 0;
    for (unsigned k = 1; at < length; ++k) {
        // Chunk sizes from 1 to 300 bytes, and now and then one far too big for the buffer.
        qint64 chunk = 1 + qint64((seed * 131u + k * 37u) % 300u);
        if (seed % 17 == 0 && k % 5 == 0)
            chunk = ReceiveBuffer::kSize + 1;
        chunk = std::min(chunk, length - at);
        const int before = buffer.Count();
        if (!buffer.Append(stream + at, chunk) && buffer.Count() != before)
            std::abort(); // a dropped chunk leaves the buffer as it was
        buffer.Extract(handler);
        if (buffer.Count() < 0 || buffer.Count() > ReceiveBuffer::kSize)
            std::abort();
        at += chunk;
    }
    // Decoding must hold for any bytes and any answer code, however short.
    AffairReply reply;
    for (int number : {1, 2, 3, 4, 5, 6, 7, 8, 9, 15, 17, 19, 21, 23, 25}) {
        const int total = int(std::min<size_t>(size, FrameCodec::kMaxAnswerLength));
        (void)DecodeAnswer(data, total, *FrameCodec::CommandOfNumber(number), reply);
    }
    if (size >= 7)
        (void)FrameCodec::DecodeDate(data);
    (void)FrameCodec::AddressFromText(
        QString::fromLatin1(reinterpret_cast<const char *>(data), int(std::min<size_t>(size, 32))));
    return 0;
}
