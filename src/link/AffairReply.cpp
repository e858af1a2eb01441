#include "link/AffairReply.h"

#include <cstring>

using namespace FrameCodec;

std::optional<quint32> AffairReply::RequiredPresence(Command type)
{
    using namespace ReplyBits;
    constexpr quint32 nodeInfo = kShortAddress | kEventFlags | kPowerLevel | kRfLevel | kParentAddress |
                                 kExtAddress | kStatus | kDeviceType;
    switch (type) {
    case Command::GDI:
    case Command::GNI:
        return nodeInfo; // 0x1E0630
    case Command::GMD:
        return kShortAddress | kEventFlags | kPowerLevel | kRfLevel | kRtInterval | kExtAddress | kValues |
               kStatus | kDeviceType; // 0x1E8270
    case Command::STN:
    case Command::SPN:
    case Command::WNN:
        return kExtAddress | kStatus; // 0x220
    case Command::RTC:
        return kRtInterval | kExtAddress; // 0x8200
    case Command::GHI:
        return kDataLength | kAlarm | kDeviceType | kLogInterval | kEndTime | kStartTime |
               kExtAddress; // 0x39B
    case Command::DLD:
        return kBlock | kExtAddress; // 0xA00
    case Command::MEQ:
    case Command::MEI:
    case Command::MEN:
    case Command::MGQ:
    case Command::MGN:
    case Command::MBN:
        return 0u;
    default:
        return std::nullopt;
    }
}

bool AffairReply::IsComplete() const
{
    if (!valid)
        return false;
    const std::optional<quint32> required = RequiredPresence(type);
    return required && presence == *required;
}

namespace {

// Big-endian 16-bit index, count or short address.
qint32 Word16(const quint8 *p)
{
    return static_cast<qint32>(Get16(p));
}

using namespace ReplyBits;

void DecodeNodeInfo(const quint8 *f, AffairReply &r)
{
    r.shortAddress = Word16(f + 7);
    r.extAddress = AddressFromBytes(f + 9);
    r.deviceType = f[17];
    r.status = f[18];
    r.eventFlags = f[19];
    r.powerLevel = f[20];
    r.rfLevel = f[22];
    r.parentAddress = AddressFromBytes(f + 23);
    r.presence = kShortAddress | kExtAddress | kDeviceType | kStatus | kEventFlags | kPowerLevel | kRfLevel |
                 kParentAddress;
}

void DecodeRealTime(const quint8 *f, int length, AffairReply &r)
{
    r.extAddress = AddressFromBytes(f + 7);
    r.deviceType = f[15];
    r.value1 = DecodeMeasured(f + 16);
    r.value2 = DecodeMeasured(f + 18);
    r.status = f[20];
    r.eventFlags = f[21];
    r.powerLevel = f[22];
    r.rtInterval = Get24(f + 23);
    r.rfLevel = f[26];
    r.shortAddress = length == kGmdLongLength ? Word16(f + 27) : -1;
    r.presence = kExtAddress | kDeviceType | kValues | kStatus | kEventFlags | kPowerLevel | kRtInterval |
                 kRfLevel | kShortAddress;
}

void DecodeHistoryInfo(const quint8 *f, AffairReply &r)
{
    r.extAddress = AddressFromBytes(f + 7);
    r.presence = kExtAddress;
    // An invalid date leaves its field 0 and its bit clear: the record is then incomplete.
    if (const auto start = DecodeDate(f + 31)) {
        r.startTime = *start;
        r.presence |= kStartTime;
    }
    if (const auto end = DecodeDate(f + 38)) {
        r.endTime = *end;
        r.presence |= kEndTime;
    }
    r.alarmMode = f[45];
    r.limit1 = DecodeMeasured(f + 46);
    r.limit2 = DecodeMeasured(f + 48);
    r.limit3 = DecodeMeasured(f + 50);
    r.limit4 = DecodeMeasured(f + 52);
    r.logInterval = Get24(f + 54);
    r.dataLength = Get24(f + 57);
    r.deviceType = f[65];
    r.presence |= kAlarm | kLogInterval | kDataLength | kDeviceType;
}

void DecodeBlock(const quint8 *f, AffairReply &r)
{
    r.extAddress = AddressFromBytes(f + 7);
    const int n = f[kDldCountOffset];
    DownloadBlock block;
    block.address = static_cast<qint32>(Get24(f + 15));
    block.total = n;
    block.received = n;
    block.data = QByteArray(reinterpret_cast<const char *>(f + 19), n);
    r.block = std::move(block);
    r.presence = kExtAddress | kBlock;
}

// The GPRS answers carry no presence bits; false for a command that is none of them.
bool DecodeGprs(const quint8 *f, Command command, AffairReply &r)
{
    switch (command) {
    case Command::MEQ:
        r.gprsLoggerCount = Word16(f + 7);
        return true;
    case Command::MEI:
        r.gprsIndex = Word16(f + 7);
        r.gprsLoggerAddress = AddressFromBytes(f + 9);
        return true;
    case Command::MEN:
        r.gprsIndex = Word16(f + 7);
        std::memcpy(r.gprsInfo.data(), f + 9, r.gprsInfo.size());
        return true;
    case Command::MGQ:
        r.phoneSlotMask = DecodeMask10(f + 7);
        return true;
    case Command::MGN:
        r.phoneSlotIndex = Word16(f + 7);
        std::memcpy(r.phoneNumber.data(), f + 9, r.phoneNumber.size());
        return true;
    case Command::MBN:
        r.gprsIndex = Word16(f + 7);
        r.gprsBindMask = DecodeMask10(f + 9);
        return true;
    default:
        return false;
    }
}

bool LengthFits(const quint8 *f, int length, Command command)
{
    const int expected = command == Command::DLD
                             ? kDldBaseLength + (length > kDldCountOffset ? f[kDldCountOffset] : 0)
                             : AnswerLength(command);
    return expected > 0 && (length == expected || (command == Command::GMD && length == kGmdLongLength));
}

} // namespace

bool DecodeAnswer(const quint8 *f, int length, Command command, AffairReply &r)
{
    r = AffairReply{};
    if (!LengthFits(f, length, command))
        return false;
    r.valid = true;
    r.type = command;
    switch (command) {
    case Command::GDI:
    case Command::GNI:
        DecodeNodeInfo(f, r);
        return true;
    case Command::GMD:
        DecodeRealTime(f, length, r);
        return true;
    case Command::STN:
    case Command::SPN:
    case Command::WNN:
        r.extAddress = AddressFromBytes(f + 7);
        r.status = f[15];
        r.presence = kExtAddress | kStatus;
        return true;
    case Command::RTC:
        r.extAddress = AddressFromBytes(f + 7);
        r.rtInterval = Get24(f + 15);
        r.presence = kExtAddress | kRtInterval;
        return true;
    case Command::GHI:
        DecodeHistoryInfo(f, r);
        return true;
    case Command::DLD:
        DecodeBlock(f, r);
        return true;
    default:
        if (DecodeGprs(f, command, r))
            return true;
        r = AffairReply{};
        return false;
    }
}
