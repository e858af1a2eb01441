#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>

// The text record format and the byte scrambling shared by every message file.
//
// A record is "<<mb>:\" + "<\TYPE=" type "\>" + "<\TIME=" time "\>" + "<\USER=" user "\>" +
// "<\EVT=" event "\>" + "\:<me>", UTF-8 encoded. The byte at file position p is stored as
// reverse(plain XOR (p mod 256)) XOR key, where key is derived from the file's name.
namespace MessageCodec {

inline constexpr char kBegin[] = "<mb>:\\";
inline constexpr char kEnd[] = "\\:<me>";
inline constexpr char kFieldEnd[] = "\\>";
inline constexpr char kTypeTag[] = "<\\TYPE=";
inline constexpr char kTimeTag[] = "<\\TIME=";
inline constexpr char kUserTag[] = "<\\USER=";
inline constexpr char kEventTag[] = "<\\EVT=";

// No month of messages comes near this size; a larger file is refused unread (positions in a
// loaded text are int).
inline constexpr qint64 kMaxFileBytes = qint64(256) << 20;

// The offset of the first byte of a descrambled file that is neither its header (its own name,
// for the monthly files) nor part of a whole record; -1 when the text is sound.
[[nodiscard]] int FirstStrayByte(const QByteArray &text, const QString &fileName);
// The number of bytes at the start of a file that LeadIsSound needs.
[[nodiscard]] int LeadLength(const QString &fileName);
// The descrambled first bytes of a file can start a sound file: the header, if any, then the
// start of a record. Checked before a file is read whole.
[[nodiscard]] bool LeadIsSound(const QByteArray &lead, const QString &fileName);

// The one-byte key of a file, from its name (without folder).
[[nodiscard]] std::uint8_t DeriveKey(const QString &fileName);

// Scrambles bytes that will stand at file positions startPosition.. (and the inverse).
[[nodiscard]] QByteArray Scramble(const QByteArray &plain, std::uint8_t key, qint64 startPosition);
[[nodiscard]] QByteArray Descramble(const QByteArray &stored, std::uint8_t key, qint64 startPosition);

// "&" -> "&amp", then "<" -> "&lt", ">" -> "&gt" (no semicolons), and the inverse in the
// order "&lt", "&gt", "&amp".
[[nodiscard]] QString Escape(const QString &text);
[[nodiscard]] QString Unescape(const QString &text);

// The name of the monthly file of a local year and month ("msg201403.cvm"); empty when the year
// does not give four digits.
[[nodiscard]] QString MonthlyFileName(int year, int month);

} // namespace MessageCodec
