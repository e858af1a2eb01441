// Frame extraction throughput: a long stream of mixed answer frames with noise between them,
// fed to the receive buffer in chunks of 1 to 300 bytes, beside a plain memcpy of the same bytes.
#include "link/FrameCodec.h"
#include "link/ReceiveBuffer.h"

#include <benchmark/benchmark.h>

#include <QByteArray>

#include <cstring>
#include <random>
#include <vector>

using namespace FrameCodec;

namespace {

class CountingHandler : public IReplyHandler {
public:
    bool HandleReply(AffairReply &reply) override
    {
        ++count;
        return reply.IsComplete();
    }
    long count = 0;
};

QByteArray Stream(int targetBytes)
{
    std::mt19937 rng(12345);
    const QByteArray ext = QByteArray::fromHex("00124b000a0b0c0d");
    const QByteArray frames[] = {
        BuildAnswer(Command::GMD, ext + QByteArray::fromHex("88f6ff1027010003000e1005")),
        BuildAnswer(Command::GMD, ext + QByteArray::fromHex("88f6ff1027010003000e10050102")),
        BuildAnswer(Command::GNI,
                    QByteArray::fromHex("0001") + ext + QByteArray::fromHex("8c0000030004") + ext),
        BuildAnswer(Command::SPN, ext + char(2)),
        BuildAnswer(Command::DLD, ext + QByteArray::fromHex("000000c8") + QByteArray(200, 'd')),
        BuildAnswer(Command::GHI, ext + QByteArray(16, '\0') +
                                      QByteArray::fromHex("38220c0f070e14"
                                                          "0000081007"
                                                          "0e14") +
                                      QByteArray(1, 4) + QByteArray(8, '\0') +
                                      QByteArray::fromHex("0002580001000000000000") +
                                      QByteArray(1, char(0x8c))),
        BuildAnswer(Command::MBN, QByteArray::fromHex("000193ff")),
    };
    QByteArray stream;
    while (stream.size() < targetBytes) {
        stream += frames[rng() % 7];
        const int noise = int(rng() % 8);
        for (int i = 0; i < noise; ++i)
            stream += char(rng());
    }
    return stream;
}

std::vector<int> ChunkSizes(int total)
{
    std::mt19937 rng(777);
    std::vector<int> sizes;
    for (int sum = 0; sum < total;) {
        const int n = 1 + int(rng() % 300);
        sizes.push_back(n);
        sum += n;
    }
    return sizes;
}

const QByteArray &TheStream()
{
    static const QByteArray stream = Stream(1 << 20);
    return stream;
}

void BM_ExtractFrames(benchmark::State &state)
{
    const QByteArray &stream = TheStream();
    const std::vector<int> sizes = ChunkSizes(int(stream.size()));
    const auto *bytes = reinterpret_cast<const quint8 *>(stream.constData());
    CountingHandler handler;
    for (auto _ : state) {
        ReceiveBuffer buffer;
        qint64 at = 0;
        for (int n : sizes) {
            const qint64 chunk = std::min<qint64>(n, stream.size() - at);
            if (chunk <= 0)
                break;
            if (buffer.Append(bytes + at, chunk))
                buffer.Extract(handler);
            at += chunk;
        }
        benchmark::DoNotOptimize(handler.count);
    }
    state.SetBytesProcessed(state.iterations() * stream.size());
    state.counters["frames"] = double(handler.count) / double(state.iterations());
}
BENCHMARK(BM_ExtractFrames)->Unit(benchmark::kMillisecond);

void BM_Memcpy(benchmark::State &state)
{
    const QByteArray &stream = TheStream();
    std::vector<char> target(size_t(stream.size()));
    for (auto _ : state) {
        std::memcpy(target.data(), stream.constData(), target.size());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * stream.size());
}
BENCHMARK(BM_Memcpy)->Unit(benchmark::kMillisecond);

} // namespace
