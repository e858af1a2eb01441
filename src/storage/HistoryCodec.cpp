#include "storage/HistoryCodec.h"

#include "base/CvTime.h"

#include <algorithm>
#include <cmath>
#include <set>

namespace HistoryCodec {
namespace {

quint8 RotateLeft(quint8 x)
{
    return static_cast<quint8>((x << 1) | (x >> 7));
}

quint8 RotateRight(quint8 x)
{
    return static_cast<quint8>((x >> 1) | (x << 7));
}

// For each bit (7 - i) of a set in mask: exchange bits i and 7 - i of x. Every exchange is its
// own inverse and the pairs are disjoint, so the same call undoes it.
quint8 ExchangeBits(quint8 x, quint8 mask)
{
    for (int i = 0; i < 8; ++i) {
        if (mask & (1 << (7 - i))) {
            const int lo = (x >> i) & 1;
            const int hi = (x >> (7 - i)) & 1;
            if (lo != hi)
                x ^= static_cast<quint8>((1 << i) | (1 << (7 - i)));
        }
    }
    return x;
}

// The eight rounds of key byte C rotate a byte once round and XOR bits into it; rotation
// distributes over XOR, so the rounds come down to one XOR with a mask of C alone. The masks
// and the bit exchanges of every key byte A are computed once by the rounds themselves, which
// leaves two look-ups per byte.
struct ScrambleTables {
    std::array<std::array<quint8, 256>, 256> exchange{}; // [A][byte]
    std::array<quint8, 256> encodeMask{};                // [C]
    std::array<quint8, 256> decodeMask{};                // [C]
};

ScrambleTables BuildTables()
{
    ScrambleTables t;
    for (int a = 0; a < 256; ++a) {
        for (int x = 0; x < 256; ++x)
            t.exchange[a][x] = ExchangeBits(static_cast<quint8>(x), static_cast<quint8>(a));
    }
    for (int c = 0; c < 256; ++c) {
        quint8 e = 0;
        quint8 d = 0;
        for (int i = 0; i < 8; ++i) {
            if (c & (1 << (7 - i)))
                e ^= static_cast<quint8>(0x80 >> i);
            e = RotateLeft(e);
            d = RotateRight(d);
            if (c & (1 << i))
                d ^= static_cast<quint8>(1 << i);
        }
        t.encodeMask[c] = e;
        t.decodeMask[c] = d;
    }
    return t;
}

const ScrambleTables &Tables()
{
    static const ScrambleTables tables = BuildTables();
    return tables;
}

void AdvanceKey(ScrambleKey &key, quint8 plain)
{
    key.b = plain;
    key.c = static_cast<quint8>(key.c < 128 ? 2 * key.c + 1 : 2 * key.c + 2);
}

quint8 EncodeWith(const ScrambleTables &t, ScrambleKey &key, quint8 plain)
{
    const quint8 stored = t.exchange[key.a][plain] ^ t.encodeMask[key.c] ^ key.b;
    AdvanceKey(key, plain);
    return stored;
}

quint8 DecodeWith(const ScrambleTables &t, ScrambleKey &key, quint8 stored)
{
    const quint8 plain = t.exchange[key.a][stored ^ key.b ^ t.decodeMask[key.c]];
    AdvanceKey(key, plain);
    return plain;
}

void PutBigEndian(quint8 *out, quint32 value, int bytes)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<quint8>(value >> (8 * (bytes - 1 - i)));
}

quint32 GetBigEndian(const quint8 *in, int bytes)
{
    quint32 v = 0;
    for (int i = 0; i < bytes; ++i)
        v = (v << 8) | in[i];
    return v;
}

} // namespace

quint8 EncodeByte(ScrambleKey &key, quint8 plain)
{
    return EncodeWith(Tables(), key, plain);
}

quint8 DecodeByte(ScrambleKey &key, quint8 stored)
{
    return DecodeWith(Tables(), key, stored);
}

quint8 IdKeyByte(qint64 id)
{
    const quint64 u = static_cast<quint64>(id);
    return static_cast<quint8>(u ^ (u >> 8) ^ (u >> 16));
}

quint8 XorOfText(const QString &text)
{
    quint8 x = 0;
    for (const char ch : text.toLatin1())
        x ^= static_cast<quint8>(ch);
    return x;
}

ScrambleKey SummaryKey(qint64 rowId, const QString &nodeKey)
{
    ScrambleKey k;
    k.a = IdKeyByte(rowId);
    if (k.a == 0)
        k.a = kFallback1;
    k.b = XorOfText(nodeKey);
    if (k.b == 0)
        k.b = kFallback2;
    k.c = (k.b == k.a) ? kFallback3 : static_cast<quint8>(k.b ^ k.a);
    return k;
}

ScrambleKey DataRowKey(qint64 rowId, const QString &tableName, int startTimeSum)
{
    return DataRowCodec(tableName, startTimeSum).KeyOf(rowId);
}

Row EncodeDataRow(const Row &plain, qint64 rowId, const QString &tableName, int startTimeSum)
{
    return DataRowCodec(tableName, startTimeSum).Encode(plain, rowId);
}

Row DecodeDataRow(const Row &stored, qint64 rowId, const QString &tableName, int startTimeSum)
{
    return DataRowCodec(tableName, startTimeSum).Decode(stored, rowId);
}

DataRowCodec::DataRowCodec(const QString &tableName, int startTimeSum)
    : m_tableByte(XorOfText(tableName)), m_startTimeSum(startTimeSum)
{
}

ScrambleKey DataRowCodec::KeyOf(qint64 rowId) const
{
    ScrambleKey k;
    k.a = IdKeyByte(rowId);
    if (k.a == 0)
        k.a = kFallback2;
    k.b = m_tableByte == 0 ? kFallback1 : m_tableByte;
    const unsigned s = static_cast<unsigned>(m_startTimeSum);
    k.c = static_cast<quint8>((s & 0xFF) ^ (s >> 8) ^ k.a);
    if (k.c == 0)
        k.c = kFallback4;
    return k;
}

Row DataRowCodec::Encode(const Row &plain, qint64 rowId) const
{
    const ScrambleTables &t = Tables();
    ScrambleKey key = KeyOf(rowId);
    Row out;
    for (int i = 0; i < kRowBytes; ++i)
        out[i] = EncodeWith(t, key, plain[i]);
    return out;
}

Row DataRowCodec::Decode(const Row &stored, qint64 rowId) const
{
    const ScrambleTables &t = Tables();
    ScrambleKey key = KeyOf(rowId);
    Row out;
    for (int i = 0; i < kRowBytes; ++i)
        out[i] = DecodeWith(t, key, stored[i]);
    return out;
}

TimeBytes TimeToBytes(qint64 seconds)
{
    const TimeBytes invalid{0, 0, 0, 0, 255, 255, 255};
    if (seconds < 0)
        return invalid;
    const CvTime::LocalFields f = CvTime::ToLocal(seconds);
    if (f.year < 0 || f.year > 9999)
        return invalid;
    return {static_cast<quint8>(f.year / 100), static_cast<quint8>(f.year % 100),
            static_cast<quint8>(f.month),      static_cast<quint8>(f.day),
            static_cast<quint8>(f.hour),       static_cast<quint8>(f.minute),
            static_cast<quint8>(f.second)};
}

qint64 TimeFromBytes(const TimeBytes &b)
{
    CvTime::LocalFields f;
    f.year = b[0] * 100 + b[1];
    f.month = b[2];
    f.day = b[3];
    f.hour = b[4];
    f.minute = b[5];
    f.second = b[6];
    // No recording starts before 1970: such bytes are as damaged as an impossible date.
    const std::optional<qint64> time = CvTime::FromLocal(f);
    return time && *time >= 0 ? *time : 0;
}

int SumOfBytes(const TimeBytes &bytes)
{
    int s = 0;
    for (const quint8 b : bytes)
        s += b;
    return s;
}

quint16 LimitToWord(float limit)
{
    const double scaled = static_cast<double>(limit) * 100.0;
    if (!std::isfinite(scaled))
        return 0;
    // Half away from zero, then wrapped to 16 bits (a value beyond the range wraps round).
    const double rounded = std::round(scaled);
    const double wrapped = std::fmod(rounded, 65536.0);
    return static_cast<quint16>(static_cast<qint32>(wrapped));
}

float LimitFromWord(quint16 word)
{
    return static_cast<float>(static_cast<qint16>(word)) / 100.0f;
}

float SampleValue(quint8 low, quint8 high)
{
    return static_cast<float>(static_cast<qint16>(static_cast<quint16>(low | (high << 8)))) / 100.0f;
}

SummaryStored EncodeSummary(const SummaryPlain &p, qint64 rowId, const QString &nodeKey)
{
    std::array<quint8, kSummaryChainBytes> chain{};
    const TimeBytes st = TimeToBytes(p.startTime);
    const TimeBytes et = TimeToBytes(p.endTime);
    std::copy(st.begin(), st.end(), chain.begin());
    std::copy(et.begin(), et.end(), chain.begin() + 7);
    PutBigEndian(&chain[14], p.dataLength, 4);
    PutBigEndian(&chain[18], p.interval & 0xFFFFFFu, 3);
    chain[21] = p.alarmFlag;
    const quint16 words[4] = {LimitToWord(p.ch1Lower), LimitToWord(p.ch1Upper), LimitToWord(p.ch2Lower),
                              LimitToWord(p.ch2Upper)};
    for (int i = 0; i < 4; ++i)
        PutBigEndian(&chain[22 + 2 * i], words[i], 2);
    chain[30] = p.deviceType;

    ScrambleKey key = SummaryKey(rowId, nodeKey);
    for (quint8 &b : chain)
        b = EncodeByte(key, b);

    SummaryStored s;
    std::copy(chain.begin(), chain.begin() + 7, s.startTime.begin());
    std::copy(chain.begin() + 7, chain.begin() + 14, s.endTime.begin());
    std::copy(chain.begin() + 14, chain.begin() + 18, s.lengthDatas.begin());
    std::copy(chain.begin() + 18, chain.begin() + 21, s.sampleCap.begin());
    s.isWarn = chain[21];
    // The chain runs lower before upper; the columns stand upper before lower.
    const int columnOfChain[8] = {2, 3, 0, 1, 6, 7, 4, 5};
    for (int i = 0; i < 8; ++i)
        s.limits[columnOfChain[i]] = chain[22 + i];
    s.insType = chain[30];
    const quint32 word = key.a ^ static_cast<quint32>(p.lastHeaderId) ^ (static_cast<quint32>(key.c) << 8) ^
                         (static_cast<quint32>(key.b) << 16);
    s.tablestartid = static_cast<qint32>(word);
    return s;
}

SummaryPlain DecodeSummary(const SummaryStored &s, qint64 rowId, const QString &nodeKey,
                           TimeBytes *plainStartBytes)
{
    std::array<quint8, kSummaryChainBytes> chain{};
    std::copy(s.startTime.begin(), s.startTime.end(), chain.begin());
    std::copy(s.endTime.begin(), s.endTime.end(), chain.begin() + 7);
    std::copy(s.lengthDatas.begin(), s.lengthDatas.end(), chain.begin() + 14);
    std::copy(s.sampleCap.begin(), s.sampleCap.end(), chain.begin() + 18);
    chain[21] = s.isWarn;
    const int columnOfChain[8] = {2, 3, 0, 1, 6, 7, 4, 5};
    for (int i = 0; i < 8; ++i)
        chain[22 + i] = s.limits[columnOfChain[i]];
    chain[30] = s.insType;

    ScrambleKey key = SummaryKey(rowId, nodeKey);
    for (quint8 &b : chain)
        b = DecodeByte(key, b);

    SummaryPlain p;
    TimeBytes st{};
    TimeBytes et{};
    std::copy(chain.begin(), chain.begin() + 7, st.begin());
    std::copy(chain.begin() + 7, chain.begin() + 14, et.begin());
    if (plainStartBytes)
        *plainStartBytes = st;
    p.startTime = TimeFromBytes(st);
    p.endTime = TimeFromBytes(et);
    p.dataLength = GetBigEndian(&chain[14], 4);
    p.interval = GetBigEndian(&chain[18], 3);
    p.alarmFlag = chain[21];
    p.ch1Lower = LimitFromWord(static_cast<quint16>(GetBigEndian(&chain[22], 2)));
    p.ch1Upper = LimitFromWord(static_cast<quint16>(GetBigEndian(&chain[24], 2)));
    p.ch2Lower = LimitFromWord(static_cast<quint16>(GetBigEndian(&chain[26], 2)));
    p.ch2Upper = LimitFromWord(static_cast<quint16>(GetBigEndian(&chain[28], 2)));
    p.deviceType = chain[30];
    const quint32 word = key.a ^ static_cast<quint32>(s.tablestartid) ^ (static_cast<quint32>(key.c) << 8) ^
                         (static_cast<quint32>(key.b) << 16);
    p.lastHeaderId = static_cast<qint32>(word);
    return p;
}

Row EncodeSegmentHeader(const SegmentHeader &h)
{
    Row row{};
    row[0] = 0x7F;
    row[1] = 0x7F;
    PutBigEndian(&row[2], static_cast<quint32>(h.firstId), 4);
    PutBigEndian(&row[6], static_cast<quint32>(h.byteCount), 4);
    PutBigEndian(&row[10], static_cast<quint32>(h.lastId), 4);
    PutBigEndian(&row[14], static_cast<quint32>(h.previousHeaderId), 4);
    row[18] = h.flag;
    const int n = std::min<int>(kHeaderNameBytes, static_cast<int>(h.name.size()));
    for (int i = 0; i < n; ++i)
        row[19 + i] = static_cast<quint8>(h.name.at(i));
    return row;
}

std::optional<SegmentHeader> DecodeSegmentHeader(const Row &row)
{
    if (row[0] != 0x7F || row[1] != 0x7F)
        return std::nullopt;
    SegmentHeader h;
    h.firstId = static_cast<qint32>(GetBigEndian(&row[2], 4));
    h.byteCount = static_cast<qint32>(GetBigEndian(&row[6], 4));
    h.lastId = static_cast<qint32>(GetBigEndian(&row[10], 4));
    h.previousHeaderId = static_cast<qint32>(GetBigEndian(&row[14], 4));
    h.flag = row[18];
    h.name = QByteArray(reinterpret_cast<const char *>(&row[19]), kHeaderNameBytes);
    return h;
}

ChainWalk WalkSegmentChain(qint32 lastHeaderId,
                           const std::function<std::optional<SegmentHeader>(qint32)> &readHeader)
{
    ChainWalk walk;
    std::set<qint32> visited;
    for (qint32 h = lastHeaderId; h >= 1;) {
        if (!visited.insert(h).second) {
            walk.damaged = true;
            walk.headers.clear();
            break;
        }
        std::optional<SegmentHeader> header = readHeader(h);
        if (!header)
            break;
        const qint32 previous = header->previousHeaderId;
        walk.headers.emplace_back(h, std::move(*header));
        if (previous == h)
            break;
        h = previous;
    }
    std::reverse(walk.headers.begin(), walk.headers.end());
    return walk;
}

QByteArray AdvanceTableCode(const QByteArray &code)
{
    if (code.size() != 3)
        return code;
    QByteArray next = code;
    if (static_cast<quint8>(next[2]) + 1 > '9' && static_cast<quint8>(next[2]) <= '9') {
        const quint8 second = static_cast<quint8>(static_cast<quint8>(next[1]) + 1);
        next[1] = static_cast<char>(second == 0 ? ' ' : second);
    } else {
        next[2] = static_cast<char>(static_cast<quint8>(next[2]) + 1);
    }
    return next;
}

bool IsSafeTableName(const QString &name)
{
    if (name.isEmpty() || name.size() > 64)
        return false;
    for (const QChar ch : name) {
        const ushort u = ch.unicode();
        if (u < 0x20 || u > 0x7E || u == '[' || u == ']' || u == '"' || u == '\'' || u == '`')
            return false;
    }
    return true;
}

} // namespace HistoryCodec
