#pragma once

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

// Envelope of the frames exchanged with the receiver, their check byte, and the encodings of
// the values inside them. Everything here is a pure function over bytes; the simulator uses the
// encoders to build answers and the link uses the decoders to read them.
namespace FrameCodec {

using ExtAddress = std::array<quint8, 8>;
using RequestBuffer = std::array<quint8, 64>;

inline constexpr std::array<quint8, 4> kHeader = {0xFF, 0x7F, 0x75, 0x7B};
inline constexpr std::array<quint8, 4> kTrailer = {0x7F, 0x7E, 0x7D, 0xFF};

// Every request is written as exactly this many bytes: the frame, then zeros.
inline constexpr int kRequestSize = 64;
// Longest request frame before its check byte (MDN: index + 48-byte block).
inline constexpr int kMaxRequestLength = 58;
// Header + code + length byte.
inline constexpr int kRequestBodyOffset = 8;
// Header + code.
inline constexpr int kAnswerBodyOffset = 7;
// An answer with an empty body (header, code, trailer, check byte); extraction looks at nothing
// before this many bytes are buffered.
inline constexpr int kMinAnswerLength = 12;

inline constexpr int kGmdShortLength = 32;
inline constexpr int kGmdLongLength = 34;
// A DLD answer is kDldBaseLength + N bytes, N standing at kDldCountOffset.
inline constexpr int kDldBaseLength = 24;
inline constexpr int kDldCountOffset = 18;
inline constexpr int kMaxAnswerLength = kDldBaseLength + 255;

// Command numbers: the link names requests' steps and answer types by them. 12 and 13 are no
// frames: they type the merged results of the two GPRS transactions.
enum class Command : quint8 {
    GDI = 1,
    GNI = 2,
    GMD = 3,
    STN = 4,
    SPN = 5,
    RTC = 6,
    GHI = 7,
    DLD = 8,
    WNN = 9,
    SNM = 10,
    NWS = 11,
    SelfCheckResult = 12,
    GprsLockResult = 13,
    MDQ = 14,
    MEQ = 15,
    MDI = 16,
    MEI = 17,
    MDN = 18,
    MEN = 19,
    MSQ = 20,
    MGQ = 21,
    MSN = 22,
    MGN = 23,
    MAN = 24,
    MBN = 25
};

[[nodiscard]] constexpr int CommandNumber(Command command)
{
    return static_cast<int>(command);
}
// The command of a frame number, nothing for a number that names no frame (12 and 13 too).
[[nodiscard]] std::optional<Command> CommandOfNumber(int number);
// The three-letter code of a command ("GMD"); nullptr for the two transaction results.
[[nodiscard]] const char *CommandCode(Command command);
// GDI to NWS: the commands of the network's own requests.
[[nodiscard]] constexpr bool IsNetworkCommand(Command command)
{
    return command >= Command::GDI && command <= Command::NWS;
}
// MDQ to MBN: the frames of the GPRS transactions.
[[nodiscard]] constexpr bool IsGprsCommand(Command command)
{
    return command >= Command::MDQ && command <= Command::MBN;
}
// The command of one of the 23 request codes at code[0..2]; nothing for anything else.
[[nodiscard]] std::optional<Command> RequestCommand(const quint8 *code);
// The command of one of the 15 answer codes at code[0..2]; nothing for anything else.
[[nodiscard]] std::optional<Command> AnswerCommand(const quint8 *code);
// Fixed answer length with check byte: GMD gives its short form (32), DLD its base (24);
// 0 for a command that has no answer.
[[nodiscard]] int AnswerLength(Command command);

// CRC-8, generator 0x31, MSB first, no reflection, no final XOR.
[[nodiscard]] const std::array<quint8, 256> &Crc8Table();
[[nodiscard]] quint8 Crc8(quint8 initial, const quint8 *data, std::size_t count);

// Request variant: the register starts at L and runs over offsets 0..L-1.
[[nodiscard]] quint8 RequestCheckByte(const quint8 *frame, int length);
// Answer variant: the register runs over the byte value C, then offsets 0..C-1, where C is the
// number of bytes before the check byte.
[[nodiscard]] quint8 AnswerCheckByte(const quint8 *frame, int countBeforeCheck);
// For an answer of total length T (check byte included, T >= 12):
[[nodiscard]] bool HasTrailer(const quint8 *frame, int totalLength);
[[nodiscard]] bool HasAnswerCheckByte(const quint8 *frame, int totalLength);

// Builds a request into out: header, code, L = 8 + body size, body, check byte, zeros up to
// 64 bytes. False (out zeroed) when the command is no frame or the body is too long.
[[nodiscard]] bool BuildRequest(Command command, const quint8 *body, int bodySize, RequestBuffer &out);
// The same frame for any three-letter code, also one that is no command (the alarm frame "ALA").
[[nodiscard]] bool BuildFrame(const char *code, const quint8 *body, int bodySize, RequestBuffer &out);
// Length byte L of a built request (offset 7).
[[nodiscard]] inline int RequestLength(const RequestBuffer &frame)
{
    return frame[7];
}

// Builds an answer: header, code, body, trailer, check byte. Empty for a command without an
// answer. The body is taken as given (the caller chooses GMD's short or long form, DLD's N).
[[nodiscard]] QByteArray BuildAnswer(Command command, const QByteArray &body);

// Measured values (and limits inside answers): 16-bit two's complement, low byte first, in
// hundredths.
[[nodiscard]] float DecodeMeasured(const quint8 *p);
// Rounds half away from zero and saturates at the 16-bit range.
void EncodeMeasured(float value, quint8 *p);

// Alarm limits inside requests: limit x 100 rounded half away from zero, 16-bit sign-magnitude,
// low byte first (magnitude saturates at 15 bits; bit 7 of the high byte marks a negative).
void EncodeLimit(float limit, quint8 *p);
[[nodiscard]] float DecodeLimit(const quint8 *p);

// Big-endian integers.
[[nodiscard]] quint32 Get16(const quint8 *p);
void Put16(quint32 value, quint8 *p);
[[nodiscard]] quint32 Get24(const quint8 *p);
void Put24(quint32 value, quint8 *p);

// 10-bit masks: first byte 0x90 | bits 9-8, second byte bits 7-0. Reading a first byte whose
// upper six bits are not 100100 gives 0.
void EncodeMask10(int mask, quint8 *p);
[[nodiscard]] int DecodeMask10(const quint8 *p);

// Seven date bytes: second, minute, hour, day, month, year % 100, year / 100; local time.
// Decoding gives nothing for bytes that name no valid local date and time.
[[nodiscard]] std::optional<qint64> DecodeDate(const quint8 *p);
void EncodeDate(qint64 seconds, quint8 *p);

// Extended address as 16 lowercase hexadecimal digits.
[[nodiscard]] QString AddressToText(const ExtAddress &address);
[[nodiscard]] QString AddressToText(const quint8 *address);
// Only an exactly 16-character text of hexadecimal digits (either case) is an address.
[[nodiscard]] std::optional<ExtAddress> AddressFromText(const QString &text);
// "1111111111111111": requests that address no particular node.
[[nodiscard]] QString PlaceholderAddressText();
[[nodiscard]] ExtAddress PlaceholderAddress();
[[nodiscard]] ExtAddress AddressFromBytes(const quint8 *p);

} // namespace FrameCodec
