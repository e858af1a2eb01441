#pragma once

#include <QByteArray>
#include <QString>

#include <array>
#include <cstdint>
#include <optional>

// The byte format of the user file "profiler/user.ruf":
//   0        index of the account that logged in last (plain)
//   1..3     stream seeds s1, s2, s3 (plain)
//   4        number of accounts (scrambled from here on)
//   5+78*i   account record i: name (50 bytes, zero-padded), password digest (25 bytes),
//            type (1 administrator, 2 ordinary user), 0, one further byte
// The number of accounts is always taken from the file size.
namespace UserFile {

constexpr int kHeaderSize = 5;
constexpr int kRecordSize = 78;
constexpr int kNameSize = 50;
constexpr int kDigestSize = 25;
constexpr int kTypeOffset = kNameSize + kDigestSize; // three type bytes from here
constexpr int kMaxAccounts = 50;
constexpr int kMaxFileSize = kHeaderSize + kRecordSize * kMaxAccounts; // 3905
constexpr int kScrambleStart = 4;
// Overwrites every temporary copy of the file before it is freed.
constexpr char kFiller = char(0xA5);

using Digest = std::array<std::uint8_t, kDigestSize>;

struct Seeds {
    std::uint8_t s1 = 0;
    std::uint8_t s2 = 0;
    std::uint8_t s3 = 0;
};

// Stream key k and initial chaining value c of a seed triple.
[[nodiscard]] std::uint8_t StreamKey(Seeds seeds);
[[nodiscard]] std::uint8_t StreamChain(Seeds seeds);

// The number of accounts a file of that size holds; empty when the size is not 5 + 78 * n with
// n from 1 to 50.
[[nodiscard]] std::optional<int> AccountCountForSize(qint64 size);

// A plain image holds only accounts of the two known types whose names are text: non-empty
// UTF-8 without control characters, zero-padded. Anything else is a damaged file.
[[nodiscard]] bool IsValidPlainImage(const QByteArray &plain);

// Scrambles (or unscrambles) bytes 4.. of a whole file image in place, with the seeds it carries
// in bytes 1..3. Images shorter than 5 bytes are left alone.
void ScrambleImage(QByteArray &image);
void UnscrambleImage(QByteArray &image);

// The digest of a password: its first 25 bytes (Latin-1; the password fields take ASCII only),
// zero-padded, chained with the fixed start value.
[[nodiscard]] Digest PasswordDigest(const QString &password);

// Fields of a plain (unscrambled) image; index must be below the account count.
[[nodiscard]] QString RecordName(const QByteArray &plain, int index);
[[nodiscard]] Digest RecordDigest(const QByteArray &plain, int index);
[[nodiscard]] std::array<std::uint8_t, 3> RecordTypeBytes(const QByteArray &plain, int index);

// One account record: the name must fit 50 bytes in UTF-8 (checked by the caller).
[[nodiscard]] QByteArray MakeRecord(const QString &name, const Digest &digest, std::uint8_t type);
// The name as stored, or empty when it does not fit (empty name, over 50 bytes, NUL inside).
[[nodiscard]] std::optional<QByteArray> EncodeName(const QString &name);

} // namespace UserFile
