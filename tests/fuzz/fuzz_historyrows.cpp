// libFuzzer harness for what the history tables hold: data rows, summary rows and segment
// headers as stored bytes, and segment chains as a table of headers. The first 120 bytes are a
// stored row (decoded as a data row and, in part, as a summary); the rest describes a chain:
// 12-byte entries of row id, previous header id and byte count.
#include "storage/HistoryCodec.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <map>
#include <set>

using namespace HistoryCodec;

namespace {

qint32 Word(const uint8_t *p)
{
    qint32 v;
    std::memcpy(&v, p, 4);
    return v;
}

void Rows(const uint8_t *data)
{
    Row stored;
    std::memcpy(stored.data(), data, kRowBytes);
    const qint64 id = Word(data);
    const QString table = QStringLiteral("00124b0001a2b3c4DataA01");
    const Row plain = DecodeDataRow(stored, id, table, data[4] * 7);
    if (EncodeDataRow(plain, id, table, data[4] * 7) != stored)
        std::abort();
    if (const std::optional<SegmentHeader> header = DecodeSegmentHeader(stored))
        (void)EncodeSegmentHeader(*header);
    SummaryStored summary;
    std::memcpy(summary.startTime.data(), data, 7);
    std::memcpy(summary.endTime.data(), data + 7, 7);
    std::memcpy(summary.lengthDatas.data(), data + 14, 4);
    std::memcpy(summary.sampleCap.data(), data + 18, 3);
    summary.isWarn = data[21];
    std::memcpy(summary.limits.data(), data + 22, 8);
    summary.tablestartid = Word(data + 30);
    summary.insType = data[34];
    TimeBytes start{};
    const SummaryPlain p = DecodeSummary(summary, id, QStringLiteral("00124b0001a2b3c4"), &start);
    (void)TimeFromBytes(start);
    (void)SampleValue(data[40], data[41]);
    if (p.startTime < 0)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < size_t(kRowBytes))
        return 0;
    Rows(data);
    std::map<qint32, SegmentHeader> headers;
    qint32 last = 0;
    for (size_t at = kRowBytes; at + 12 <= size; at += 12) {
        SegmentHeader h;
        last = Word(data + at);
        h.previousHeaderId = Word(data + at + 4);
        h.byteCount = Word(data + at + 8);
        headers[last] = h;
    }
    int reads = 0;
    const ChainWalk walk = WalkSegmentChain(last, [&](qint32 id) -> std::optional<SegmentHeader> {
        if (++reads > int(headers.size()) + 1)
            std::abort(); // every header is read at most once
        const auto it = headers.find(id);
        return it == headers.end() ? std::nullopt : std::optional<SegmentHeader>(it->second);
    });
    std::set<qint32> seen;
    for (const auto &entry : walk.headers) {
        if (!seen.insert(entry.first).second)
            std::abort();
    }
    if (walk.damaged && !walk.headers.empty())
        std::abort();
    if (!walk.damaged && !walk.headers.empty() && walk.headers.back().first != last)
        std::abort();
    return 0;
}
