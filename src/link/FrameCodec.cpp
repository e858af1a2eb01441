#include "link/FrameCodec.h"

#include "base/CvTime.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace FrameCodec {

namespace {

struct CommandInfo {
    Command command;
    const char *code;
    int answerLength; // with check byte; 0: no answer
};

// Request table (23 codes) and answer table (15 codes) in one list.
constexpr CommandInfo kCommands[] = {
    {Command::GDI, "GDI", 36},
    {Command::GNI, "GNI", 36},
    {Command::GMD, "GMD", kGmdShortLength},
    {Command::STN, "STN", 21},
    {Command::SPN, "SPN", 21},
    {Command::RTC, "RTC", 23},
    {Command::GHI, "GHI", 71},
    {Command::DLD, "DLD", kDldBaseLength},
    {Command::WNN, "WNN", 21},
    {Command::SNM, "SNM", 0},
    {Command::NWS, "NWS", 0},
    {Command::MDQ, "MDQ", 0},
    {Command::MEQ, "MEQ", 14},
    {Command::MDI, "MDI", 0},
    {Command::MEI, "MEI", 22},
    {Command::MDN, "MDN", 0},
    {Command::MEN, "MEN", 62},
    {Command::MSQ, "MSQ", 0},
    {Command::MGQ, "MGQ", 14},
    {Command::MSN, "MSN", 0},
    {Command::MGN, "MGN", 30},
    {Command::MAN, "MAN", 0},
    {Command::MBN, "MBN", 16},
};

const CommandInfo *Find(Command command)
{
    for (const CommandInfo &info : kCommands) {
        if (info.command == command)
            return &info;
    }
    return nullptr;
}

std::optional<Command> FindCode(const quint8 *code, bool answersOnly)
{
    for (const CommandInfo &info : kCommands) {
        if ((!answersOnly || info.answerLength > 0) && std::memcmp(info.code, code, 3) == 0)
            return info.command;
    }
    return std::nullopt;
}

std::array<quint8, 256> MakeCrcTable()
{
    std::array<quint8, 256> table{};
    for (int i = 0; i < 256; ++i) {
        quint8 reg = static_cast<quint8>(i);
        for (int bit = 0; bit < 8; ++bit)
            reg = (reg & 0x80) ? static_cast<quint8>((reg << 1) ^ 0x31) : static_cast<quint8>(reg << 1);
        table[static_cast<std::size_t>(i)] = reg;
    }
    return table;
}

// x 100, half away from zero.
double Hundredths(float value)
{
    const double scaled = static_cast<double>(value) * 100.0;
    return std::trunc(scaled < 0 ? scaled - 0.5 : scaled + 0.5);
}

int HexDigit(QChar c)
{
    const ushort u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

} // namespace

std::optional<Command> CommandOfNumber(int number)
{
    for (const CommandInfo &info : kCommands) {
        if (CommandNumber(info.command) == number)
            return info.command;
    }
    return std::nullopt;
}

const char *CommandCode(Command command)
{
    const CommandInfo *info = Find(command);
    return info ? info->code : nullptr;
}

std::optional<Command> RequestCommand(const quint8 *code)
{
    return FindCode(code, false);
}

std::optional<Command> AnswerCommand(const quint8 *code)
{
    return FindCode(code, true);
}

int AnswerLength(Command command)
{
    const CommandInfo *info = Find(command);
    return info ? info->answerLength : 0;
}

const std::array<quint8, 256> &Crc8Table()
{
    static const std::array<quint8, 256> table = MakeCrcTable();
    return table;
}

quint8 Crc8(quint8 initial, const quint8 *data, std::size_t count)
{
    const auto &table = Crc8Table();
    quint8 reg = initial;
    for (std::size_t i = 0; i < count; ++i)
        reg = table[reg ^ data[i]];
    return reg;
}

quint8 RequestCheckByte(const quint8 *frame, int length)
{
    return Crc8(static_cast<quint8>(length), frame, static_cast<std::size_t>(length));
}

quint8 AnswerCheckByte(const quint8 *frame, int countBeforeCheck)
{
    const quint8 start = Crc8Table()[static_cast<quint8>(countBeforeCheck)];
    return Crc8(start, frame, static_cast<std::size_t>(countBeforeCheck));
}

bool HasTrailer(const quint8 *frame, int totalLength)
{
    return totalLength >= kMinAnswerLength &&
           std::memcmp(frame + totalLength - 5, kTrailer.data(), kTrailer.size()) == 0;
}

bool HasAnswerCheckByte(const quint8 *frame, int totalLength)
{
    return totalLength >= kMinAnswerLength &&
           AnswerCheckByte(frame, totalLength - 1) == frame[totalLength - 1];
}

bool BuildFrame(const char *code, const quint8 *body, int bodySize, RequestBuffer &out)
{
    out.fill(0);
    const int length = kRequestBodyOffset + bodySize;
    if (bodySize < 0 || length > kMaxRequestLength)
        return false;
    std::memcpy(out.data(), kHeader.data(), kHeader.size());
    std::memcpy(out.data() + 4, code, 3);
    out[7] = static_cast<quint8>(length);
    if (bodySize > 0)
        std::memcpy(out.data() + kRequestBodyOffset, body, static_cast<std::size_t>(bodySize));
    out[static_cast<std::size_t>(length)] = RequestCheckByte(out.data(), length);
    return true;
}

bool BuildRequest(Command command, const quint8 *body, int bodySize, RequestBuffer &out)
{
    const CommandInfo *info = Find(command);
    if (!info) {
        out.fill(0);
        return false;
    }
    return BuildFrame(info->code, body, bodySize, out);
}

QByteArray BuildAnswer(Command command, const QByteArray &body)
{
    const CommandInfo *info = Find(command);
    if (!info || info->answerLength == 0)
        return {};
    QByteArray frame;
    frame.reserve(body.size() + 12);
    frame.append(reinterpret_cast<const char *>(kHeader.data()), kHeader.size());
    frame.append(info->code, 3);
    frame.append(body);
    frame.append(reinterpret_cast<const char *>(kTrailer.data()), kTrailer.size());
    frame.append(static_cast<char>(
        AnswerCheckByte(reinterpret_cast<const quint8 *>(frame.constData()), int(frame.size()))));
    return frame;
}

float DecodeMeasured(const quint8 *p)
{
    const auto raw = static_cast<qint16>(static_cast<quint16>(p[0] | (p[1] << 8)));
    return static_cast<float>(raw / 100.0);
}

void EncodeMeasured(float value, quint8 *p)
{
    double raw = Hundredths(value);
    if (std::isnan(raw))
        raw = 0;
    raw = std::min(32767.0, std::max(-32768.0, raw));
    const auto bits = static_cast<quint16>(static_cast<qint16>(raw));
    p[0] = static_cast<quint8>(bits & 0xFF);
    p[1] = static_cast<quint8>(bits >> 8);
}

void EncodeLimit(float limit, quint8 *p)
{
    double raw = Hundredths(limit);
    if (std::isnan(raw))
        raw = 0;
    const bool negative = raw < 0;
    const auto magnitude = static_cast<quint16>(std::min(32767.0, std::fabs(raw)));
    p[0] = static_cast<quint8>(magnitude & 0xFF);
    p[1] = static_cast<quint8>((magnitude >> 8) | (negative ? 0x80 : 0x00));
}

float DecodeLimit(const quint8 *p)
{
    const int magnitude = p[0] | ((p[1] & 0x7F) << 8);
    const int raw = (p[1] & 0x80) ? -magnitude : magnitude;
    return static_cast<float>(raw / 100.0);
}

quint32 Get16(const quint8 *p)
{
    return (quint32(p[0]) << 8) | p[1];
}

void Put16(quint32 value, quint8 *p)
{
    p[0] = static_cast<quint8>(value >> 8);
    p[1] = static_cast<quint8>(value);
}

quint32 Get24(const quint8 *p)
{
    return (quint32(p[0]) << 16) | (quint32(p[1]) << 8) | p[2];
}

void Put24(quint32 value, quint8 *p)
{
    p[0] = static_cast<quint8>(value >> 16);
    p[1] = static_cast<quint8>(value >> 8);
    p[2] = static_cast<quint8>(value);
}

void EncodeMask10(int mask, quint8 *p)
{
    p[0] = static_cast<quint8>(0x90 | ((mask >> 8) & 0x03));
    p[1] = static_cast<quint8>(mask & 0xFF);
}

int DecodeMask10(const quint8 *p)
{
    if ((p[0] & 0xFC) != 0x90)
        return 0;
    return ((p[0] & 0x03) << 8) | p[1];
}

std::optional<qint64> DecodeDate(const quint8 *p)
{
    // Each byte must be in its own range; a year byte of 100 or more is no "year modulo 100".
    if (p[0] > 59 || p[1] > 59 || p[2] > 23 || p[5] > 99)
        return std::nullopt;
    CvTime::LocalFields fields;
    fields.second = p[0];
    fields.minute = p[1];
    fields.hour = p[2];
    fields.day = p[3];
    fields.month = p[4];
    fields.year = p[6] * 100 + p[5];
    return CvTime::FromLocal(fields);
}

void EncodeDate(qint64 seconds, quint8 *p)
{
    const CvTime::LocalFields f = CvTime::ToLocal(seconds);
    p[0] = static_cast<quint8>(f.second);
    p[1] = static_cast<quint8>(f.minute);
    p[2] = static_cast<quint8>(f.hour);
    p[3] = static_cast<quint8>(f.day);
    p[4] = static_cast<quint8>(f.month);
    p[5] = static_cast<quint8>(f.year % 100);
    p[6] = static_cast<quint8>(f.year / 100);
}

QString AddressToText(const quint8 *address)
{
    static const char digits[] = "0123456789abcdef";
    QString text(16, QLatin1Char('0'));
    for (int i = 0; i < 8; ++i) {
        text[2 * i] = QLatin1Char(digits[address[i] >> 4]);
        text[2 * i + 1] = QLatin1Char(digits[address[i] & 0x0F]);
    }
    return text;
}

QString AddressToText(const ExtAddress &address)
{
    return AddressToText(address.data());
}

std::optional<ExtAddress> AddressFromText(const QString &text)
{
    if (text.size() != 16)
        return std::nullopt;
    ExtAddress address{};
    for (int i = 0; i < 8; ++i) {
        const int high = HexDigit(text.at(2 * i));
        const int low = HexDigit(text.at(2 * i + 1));
        if (high < 0 || low < 0)
            return std::nullopt;
        address[static_cast<std::size_t>(i)] = static_cast<quint8>((high << 4) | low);
    }
    return address;
}

QString PlaceholderAddressText()
{
    return QStringLiteral("1111111111111111");
}

ExtAddress PlaceholderAddress()
{
    ExtAddress address;
    address.fill(0x11);
    return address;
}

ExtAddress AddressFromBytes(const quint8 *p)
{
    ExtAddress address;
    std::memcpy(address.data(), p, address.size());
    return address;
}

} // namespace FrameCodec
