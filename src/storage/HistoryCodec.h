#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

// Byte encodings of the per-node history tables: the chained byte scrambling of summary and
// data rows, the plain layouts of a summary row and a segment header row, and the small value
// codecs (calendar bytes, limits, big-endian words, table codes). Pure functions, no database.
namespace HistoryCodec {

// Fixed non-zero bytes that replace a key byte computed as zero.
inline constexpr quint8 kFallback1 = 0x5A;
inline constexpr quint8 kFallback2 = 0xA7;
inline constexpr quint8 kFallback3 = 0x3C;
inline constexpr quint8 kFallback4 = 0xC9;

inline constexpr int kRowBytes = 120;         // plain bytes of one data row
inline constexpr int kSummaryChainBytes = 31; // scrambled bytes of a summary row
inline constexpr int kHeaderNameBytes = 32;   // name bytes of a segment header
inline constexpr qint32 kDataTableFullId = 500000;

using Row = std::array<quint8, kRowBytes>;

// Key state of the byte chain. Encoding and decoding advance it identically, so the bytes of
// a row must be processed in the same order both ways.
struct ScrambleKey {
    quint8 a = 0;
    quint8 b = 0;
    quint8 c = 0;
};

[[nodiscard]] quint8 EncodeByte(ScrambleKey &key, quint8 plain);
[[nodiscard]] quint8 DecodeByte(ScrambleKey &key, quint8 stored);

// (id XOR id >> 8 XOR id >> 16) mod 256.
[[nodiscard]] quint8 IdKeyByte(qint64 id);
// XOR of all characters (Latin-1 bytes) of a text.
[[nodiscard]] quint8 XorOfText(const QString &text);

[[nodiscard]] ScrambleKey SummaryKey(qint64 rowId, const QString &nodeKey);
// startTimeSum: sum of the seven plain start-time bytes of the record the row belongs to.
[[nodiscard]] ScrambleKey DataRowKey(qint64 rowId, const QString &tableName, int startTimeSum);

[[nodiscard]] Row EncodeDataRow(const Row &plain, qint64 rowId, const QString &tableName, int startTimeSum);
[[nodiscard]] Row DecodeDataRow(const Row &stored, qint64 rowId, const QString &tableName, int startTimeSum);

// The rows of one data table and record, a whole row at a time: what the free functions above
// do, with the table's name folded into its key byte once rather than once per row.
class DataRowCodec {
public:
    DataRowCodec(const QString &tableName, int startTimeSum);
    [[nodiscard]] ScrambleKey KeyOf(qint64 rowId) const;
    [[nodiscard]] Row Encode(const Row &plain, qint64 rowId) const;
    [[nodiscard]] Row Decode(const Row &stored, qint64 rowId) const;

private:
    quint8 m_tableByte;
    int m_startTimeSum;
};

// Seven calendar bytes of a local time: year / 100, year mod 100, month, day, hour, minute,
// second. A time that cannot be expressed so gives 0, 0, 0, 0, 255, 255, 255.
using TimeBytes = std::array<quint8, 7>;
[[nodiscard]] TimeBytes TimeToBytes(qint64 seconds);
// 0 when the bytes form no valid local time.
[[nodiscard]] qint64 TimeFromBytes(const TimeBytes &bytes);
[[nodiscard]] int SumOfBytes(const TimeBytes &bytes);

// round(limit x 100), half away from zero, kept to 16 bits two's complement.
[[nodiscard]] quint16 LimitToWord(float limit);
[[nodiscard]] float LimitFromWord(quint16 word);

// A data sample: 16-bit two's complement in hundredths, low byte first.
[[nodiscard]] float SampleValue(quint8 low, quint8 high);

// Plain values of one summary row (what the setters take and the getters give).
struct SummaryPlain {
    qint64 startTime = 0;
    qint64 endTime = 0;
    quint32 dataLength = 0;
    quint32 interval = 0; // 24 bits
    quint8 alarmFlag = 0;
    float ch1Lower = 0.0f;
    float ch1Upper = 0.0f;
    float ch2Lower = 0.0f;
    float ch2Upper = 0.0f;
    QString tableCode;
    qint32 lastHeaderId = 0;
    QString name;
    quint8 deviceType = 0;
};

// The scrambled columns of a summary row, in table column order (tableName and insName are
// carried in plain text and are not part of this).
struct SummaryStored {
    std::array<quint8, 7> startTime{};
    std::array<quint8, 7> endTime{};
    std::array<quint8, 4> lengthDatas{};
    std::array<quint8, 3> sampleCap{};
    quint8 isWarn = 0;
    // channel1_upperH, channel1_upperL, channel1_lowerH, channel1_lowerL, then channel 2.
    std::array<quint8, 8> limits{};
    qint32 tablestartid = 0;
    quint8 insType = 0;
};

[[nodiscard]] SummaryStored EncodeSummary(const SummaryPlain &plain, qint64 rowId, const QString &nodeKey);
// Fills every plain field except tableCode and name, which are stored in plain text.
// plainStartBytes receives the seven unscrambled start-time bytes (data-row keys need them).
[[nodiscard]] SummaryPlain DecodeSummary(const SummaryStored &stored, qint64 rowId, const QString &nodeKey,
                                         TimeBytes *plainStartBytes = nullptr);

// Segment header row, plain layout.
struct SegmentHeader {
    qint32 firstId = 0;
    qint32 byteCount = 0;
    qint32 lastId = 0;
    qint32 previousHeaderId = 0;
    quint8 flag = 0;
    QByteArray name; // up to 32 bytes
};
[[nodiscard]] Row EncodeSegmentHeader(const SegmentHeader &header);
// Empty when the row does not carry the header mark 0x7F 0x7F.
[[nodiscard]] std::optional<SegmentHeader> DecodeSegmentHeader(const Row &row);

// A record's segment chain walked back from its newest header. readHeader gives the header
// stored at a row id, empty when that row is missing or is no header; either ends the chain, as
// does a previous id below 1 or equal to the header's own id. A chain that leads back to a
// header already visited is damaged: its segments would be read again and again.
struct ChainWalk {
    std::vector<std::pair<qint32, SegmentHeader>> headers; // oldest first
    bool damaged = false;
};
[[nodiscard]] ChainWalk
WalkSegmentChain(qint32 lastHeaderId, const std::function<std::optional<SegmentHeader>(qint32)> &readHeader);

// Next data-table code after a full table: A01 -> A02, A09 -> A19 -> A29 ... The first
// character never changes; a second character that wraps round to zero becomes a blank.
[[nodiscard]] QByteArray AdvanceTableCode(const QByteArray &code);

// Channels of a device type: bit 0x80 channel 1, bit 0x08 channel 2.
[[nodiscard]] inline bool HasChannel1(quint8 type)
{
    return (type & 0x80) != 0;
}
[[nodiscard]] inline bool HasChannel2(quint8 type)
{
    return (type & 0x08) != 0;
}
[[nodiscard]] inline int ChannelCount(quint8 type)
{
    return (HasChannel1(type) ? 1 : 0) + (HasChannel2(type) ? 1 : 0);
}

// A name usable inside [ ] in SQL: non-empty, printable, without brackets or quotes.
[[nodiscard]] bool IsSafeTableName(const QString &name);

} // namespace HistoryCodec
