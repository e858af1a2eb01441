#pragma once

#include "link/FrameCodec.h"

#include <QByteArray>
#include <QtGlobal>

#include <array>
#include <optional>

// Downloaded data. In a DLD answer's own record: address = the block's 24-bit address,
// received = total = N and data holds the N bytes. In a download request's accumulated result
// the same structure collects the whole download.
struct DownloadBlock {
    qint32 startOffset = 0; // data offset at which the download began
    qint32 total = 0;       // bytes expected
    qint32 address = 0;     // 24-bit address of the next byte
    qint32 received = 0;    // bytes received
    QByteArray data;
    // The download stopped before all bytes arrived; data holds what arrived, cut to whole
    // records, to be stored all the same.
    bool interrupted = false;
};

// Presence bits of AffairReply.
namespace ReplyBits {
inline constexpr quint32 kStartTime = 0x1;
inline constexpr quint32 kEndTime = 0x2;
inline constexpr quint32 kLogInterval = 0x8;
inline constexpr quint32 kDeviceType = 0x10;
inline constexpr quint32 kStatus = 0x20;
inline constexpr quint32 kValues = 0x40;
inline constexpr quint32 kAlarm = 0x80; // alarmMode and limit1..limit4
inline constexpr quint32 kDataLength = 0x100;
inline constexpr quint32 kExtAddress = 0x200;
inline constexpr quint32 kParentAddress = 0x400;
inline constexpr quint32 kBlock = 0x800;
inline constexpr quint32 kRtInterval = 0x8000;
inline constexpr quint32 kRfLevel = 0x20000;
inline constexpr quint32 kPowerLevel = 0x40000;
inline constexpr quint32 kEventFlags = 0x80000;
// Set also when the answer carries no short address (shortAddress is then -1).
inline constexpr quint32 kShortAddress = 0x100000;
} // namespace ReplyBits

// One decoded answer frame. A record counts only when its presence bits equal exactly the set
// that its type requires (RequiredPresence).
struct AffairReply {
    enum Disposition : quint8 { New = 0, RequestResult = 1, Unsolicited = 2 };

    quint32 presence = 0;
    quint8 disposition = New;
    qint32 shortAddress = -1;
    FrameCodec::ExtAddress extAddress{};
    FrameCodec::ExtAddress parentAddress{};
    FrameCodec::Command type{}; // the answer's command; Command{} (none) until decoded
    qint64 startTime = 0;
    qint64 endTime = 0;
    qint64 receivedTime = 0; // stamped by whoever accepts the record
    qint64 logInterval = 0;
    quint8 deviceType = 0;
    quint8 status = 0;
    quint8 rfLevel = 0;
    quint8 powerLevel = 0;
    quint8 eventFlags = 0;
    float value1 = 0.0f;
    float value2 = 0.0f;
    quint8 alarmMode = 0;
    float limit1 = 0.0f;
    float limit2 = 0.0f;
    float limit3 = 0.0f;
    float limit4 = 0.0f;
    quint32 dataLength = 0;
    qint64 rtInterval = 0;
    qint32 gprsLoggerCount = 0;
    qint32 gprsIndex = -1;
    FrameCodec::ExtAddress gprsLoggerAddress{};
    std::array<quint8, 48> gprsInfo{};
    qint32 gprsBindMask = 0;
    qint32 phoneSlotMask = 0;
    qint32 phoneSlotIndex = 0;
    std::array<quint8, 16> phoneNumber{};
    std::optional<DownloadBlock> block;
    bool valid = false; // set by decoding; a record never decoded is rejected

    // The presence value that a complete record of this type carries; answer types without
    // presence bits (the GPRS answers) require 0. Types that are no answer give nullopt.
    [[nodiscard]] static std::optional<quint32> RequiredPresence(FrameCodec::Command type);
    // Valid, typed and presence exactly as required.
    [[nodiscard]] bool IsComplete() const;
};

// Decodes an answer frame whose trailer and check byte have been verified. frame holds
// totalLength bytes starting with the header; command is its answer type. The record
// is reset first (nothing of a previous answer survives), then filled and marked valid. False
// when the frame is too short for its layout (the record is then left reset and not valid).
[[nodiscard]] bool DecodeAnswer(const quint8 *frame, int totalLength, FrameCodec::Command command,
                                AffairReply &reply);
