#include "messages/UserFileCodec.h"

#include <QStringDecoder>

#include <algorithm>
#include <cstring>

namespace UserFile {

namespace {

// Start value of the digest's running sum.
constexpr std::uint8_t kDigestStart = 0x3C;

std::uint8_t RotateLeft(std::uint8_t x)
{
    return static_cast<std::uint8_t>((x << 1) | (x >> 7));
}

std::uint8_t RotateRight(std::uint8_t x)
{
    return static_cast<std::uint8_t>((x >> 1) | (x << 7));
}

std::uint8_t PositionMask(int p)
{
    return static_cast<std::uint8_t>(((p >> 8) ^ p) & 0xFF);
}

Seeds SeedsOf(const QByteArray &image)
{
    return {static_cast<std::uint8_t>(image[1]), static_cast<std::uint8_t>(image[2]),
            static_cast<std::uint8_t>(image[3])};
}

} // namespace

std::uint8_t StreamKey(Seeds s)
{
    return static_cast<std::uint8_t>((s.s2 + s.s3) * s.s1 + s.s2 * s.s3);
}

std::uint8_t StreamChain(Seeds s)
{
    return static_cast<std::uint8_t>(((s.s1 + 1) * s.s2 + 1) * s.s3);
}

std::optional<int> AccountCountForSize(qint64 size)
{
    if (size < kHeaderSize + kRecordSize || size > kMaxFileSize)
        return std::nullopt;
    if ((size - kHeaderSize) % kRecordSize != 0)
        return std::nullopt;
    return static_cast<int>((size - kHeaderSize) / kRecordSize);
}

void ScrambleImage(QByteArray &image)
{
    if (image.size() < kHeaderSize)
        return;
    const Seeds seeds = SeedsOf(image);
    const std::uint8_t k = StreamKey(seeds);
    std::uint8_t c = StreamChain(seeds);
    for (int p = kScrambleStart; p < image.size(); ++p) {
        const std::uint8_t b = static_cast<std::uint8_t>(image[p]);
        const std::uint8_t m = PositionMask(p);
        std::uint8_t x = b;
        for (int j = 0; j < 8; ++j) {
            const std::uint8_t bit = static_cast<std::uint8_t>(1u << (7 - j));
            if (m & bit)
                x ^= bit;
            x = RotateLeft(x);
        }
        image[p] = static_cast<char>(x ^ k ^ c);
        c = b;
    }
}

void UnscrambleImage(QByteArray &image)
{
    if (image.size() < kHeaderSize)
        return;
    const Seeds seeds = SeedsOf(image);
    const std::uint8_t k = StreamKey(seeds);
    std::uint8_t c = StreamChain(seeds);
    for (int p = kScrambleStart; p < image.size(); ++p) {
        const std::uint8_t m = PositionMask(p);
        std::uint8_t x = static_cast<std::uint8_t>(image[p]) ^ k ^ c;
        for (int j = 0; j < 8; ++j) {
            x = RotateRight(x);
            const std::uint8_t bit = static_cast<std::uint8_t>(1u << j);
            if (m & bit)
                x ^= bit;
        }
        image[p] = static_cast<char>(x);
        c = x;
    }
}

Digest PasswordDigest(const QString &password)
{
    Digest d{};
    const QByteArray bytes = password.toLatin1();
    std::memcpy(d.data(), bytes.constData(), std::min<size_t>(d.size(), static_cast<size_t>(bytes.size())));
    std::uint8_t f = 0;
    for (std::uint8_t b : d)
        f ^= b;
    std::uint8_t r = kDigestStart;
    for (std::uint8_t &b : d) {
        b = static_cast<std::uint8_t>(b ^ f ^ r);
        r = static_cast<std::uint8_t>(r + b);
    }
    return d;
}

bool IsValidPlainImage(const QByteArray &plain)
{
    const std::optional<int> count = AccountCountForSize(plain.size());
    if (!count)
        return false;
    for (int i = 0; i < *count; ++i) {
        const int at = kHeaderSize + kRecordSize * i;
        const std::uint8_t type = static_cast<std::uint8_t>(plain[at + kTypeOffset]);
        if (type != 1 && type != 2)
            return false;
        const QByteArray field = plain.mid(at, kNameSize);
        const int nul = field.indexOf('\0');
        const QByteArray name = field.left(nul < 0 ? kNameSize : nul);
        if (name.isEmpty())
            return false;
        QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
        const QString text = utf8.decode(name);
        if (utf8.hasError() || std::any_of(text.begin(), text.end(),
                                           [](QChar c) { return c.category() == QChar::Other_Control; }))
            return false;
    }
    return true;
}

QString RecordName(const QByteArray &plain, int index)
{
    const int at = kHeaderSize + kRecordSize * index;
    QByteArray name = plain.mid(at, kNameSize);
    const int nul = name.indexOf('\0');
    if (nul >= 0)
        name.truncate(nul);
    return QString::fromUtf8(name);
}

Digest RecordDigest(const QByteArray &plain, int index)
{
    Digest d{};
    const int at = kHeaderSize + kRecordSize * index + kNameSize;
    std::memcpy(d.data(), plain.constData() + at, d.size());
    return d;
}

std::array<std::uint8_t, 3> RecordTypeBytes(const QByteArray &plain, int index)
{
    const int at = kHeaderSize + kRecordSize * index + kTypeOffset;
    return {static_cast<std::uint8_t>(plain[at]), static_cast<std::uint8_t>(plain[at + 1]),
            static_cast<std::uint8_t>(plain[at + 2])};
}

std::optional<QByteArray> EncodeName(const QString &name)
{
    const QByteArray bytes = name.toUtf8();
    if (bytes.isEmpty() || bytes.size() > kNameSize || bytes.contains('\0'))
        return std::nullopt;
    return bytes;
}

QByteArray MakeRecord(const QString &name, const Digest &digest, std::uint8_t type)
{
    QByteArray record(kRecordSize, '\0');
    const QByteArray bytes = name.toUtf8().left(kNameSize);
    std::memcpy(record.data(), bytes.constData(), static_cast<size_t>(bytes.size()));
    std::memcpy(record.data() + kNameSize, digest.data(), digest.size());
    record[kTypeOffset] = static_cast<char>(type);
    return record;
}

} // namespace UserFile
