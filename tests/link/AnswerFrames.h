#pragma once

#include "link/AffairReply.h"
#include "link/FrameCodec.h"
#include "link/ReceiveBuffer.h"

#include <QByteArray>

// Builders of answer frames for the link tests, laid out byte by byte as the receiver sends them,
// and the small helpers the link tests share.
namespace testframes {

inline const quint8 *U8(const QByteArray &bytes)
{
    return reinterpret_cast<const quint8 *>(bytes.constData());
}

inline QByteArray Addr(quint8 seed)
{
    QByteArray a;
    for (int i = 0; i < 8; ++i)
        a.append(char(seed + i));
    return a;
}

inline QByteArray Be16(int v)
{
    return QByteArray() + char((v >> 8) & 0xFF) + char(v & 0xFF);
}

inline QByteArray Be24(int v)
{
    return QByteArray() + char((v >> 16) & 0xFF) + char((v >> 8) & 0xFF) + char(v & 0xFF);
}

// Field encodings through the codec under test (its own byte-level tests pin them down).
inline QByteArray Measured(float v)
{
    quint8 b[2];
    FrameCodec::EncodeMeasured(v, b);
    return QByteArray(reinterpret_cast<const char *>(b), 2);
}
inline QByteArray Mask10(int mask)
{
    quint8 b[2];
    FrameCodec::EncodeMask10(mask, b);
    return QByteArray(reinterpret_cast<const char *>(b), 2);
}
inline QByteArray Date7(qint64 time)
{
    quint8 b[7];
    FrameCodec::EncodeDate(time, b);
    return QByteArray(reinterpret_cast<const char *>(b), 7);
}

// GDI or GNI (36 bytes).
inline QByteArray NodeInfo(FrameCodec::Command command, int shortAddress, const QByteArray &ext,
                           quint8 deviceType, quint8 status, quint8 events, quint8 power, quint8 rf,
                           const QByteArray &parent)
{
    const QByteArray body = Be16(shortAddress) + ext + char(deviceType) + char(status) + char(events) +
                            char(power) + char(0) + char(rf) + parent;
    return FrameCodec::BuildAnswer(command, body);
}

// GMD: 32 bytes, or 34 with a short address (shortAddress >= 0).
inline QByteArray Gmd(const QByteArray &ext, quint8 deviceType, const QByteArray &value1,
                      const QByteArray &value2, quint8 status, quint8 events, quint8 power, int rtInterval,
                      quint8 rf, int shortAddress = -1)
{
    QByteArray body = ext + char(deviceType) + value1 + value2 + char(status) + char(events) + char(power) +
                      Be24(rtInterval) + char(rf);
    if (shortAddress >= 0)
        body += Be16(shortAddress);
    return FrameCodec::BuildAnswer(FrameCodec::Command::GMD, body);
}

// STN, SPN or WNN (21 bytes).
inline QByteArray StatusAnswer(FrameCodec::Command command, const QByteArray &ext, quint8 status)
{
    return FrameCodec::BuildAnswer(command, ext + char(status));
}

inline QByteArray Rtc(const QByteArray &ext, int interval)
{
    return FrameCodec::BuildAnswer(FrameCodec::Command::RTC, ext + Be24(interval));
}

// GHI (71 bytes); dates are the seven raw bytes, limits raw two-byte values.
inline QByteArray Ghi(const QByteArray &ext, const QByteArray &start7, const QByteArray &end7,
                      quint8 alarmMode, const QByteArray &limits8, int logInterval, int dataLength,
                      quint8 deviceType)
{
    const QByteArray body = ext + QByteArray(16, char(0xEE)) + start7 + end7 + char(alarmMode) + limits8 +
                            Be24(logInterval) + Be24(dataLength) + QByteArray(5, char(0xEE)) +
                            char(deviceType);
    return FrameCodec::BuildAnswer(FrameCodec::Command::GHI, body);
}

// DLD (24 + N bytes).
inline QByteArray Dld(const QByteArray &ext, int blockAddress, const QByteArray &data)
{
    return FrameCodec::BuildAnswer(FrameCodec::Command::DLD,
                                   ext + Be24(blockAddress) + char(data.size()) + data);
}

inline QByteArray Meq(int count)
{
    return FrameCodec::BuildAnswer(FrameCodec::Command::MEQ, Be16(count));
}
inline QByteArray Mei(int index, const QByteArray &ext)
{
    return FrameCodec::BuildAnswer(FrameCodec::Command::MEI, Be16(index) + ext);
}
inline QByteArray Men(int index, const QByteArray &info48)
{
    return FrameCodec::BuildAnswer(FrameCodec::Command::MEN, Be16(index) + info48);
}
inline QByteArray Mgq(const QByteArray &mask2)
{
    return FrameCodec::BuildAnswer(FrameCodec::Command::MGQ, mask2);
}
inline QByteArray Mgn(int index, const QByteArray &phone16)
{
    return FrameCodec::BuildAnswer(FrameCodec::Command::MGN, Be16(index) + phone16);
}
inline QByteArray Mbn(int index, const QByteArray &mask2)
{
    return FrameCodec::BuildAnswer(FrameCodec::Command::MBN, Be16(index) + mask2);
}

// Decodes one whole answer frame as the receive side does; a record with valid false when the
// frame does not decode.
inline AffairReply Decode(const QByteArray &frame)
{
    AffairReply r;
    const std::optional<FrameCodec::Command> command =
        frame.size() < 7 ? std::nullopt : FrameCodec::AnswerCommand(U8(frame) + 4);
    if (!command || !DecodeAnswer(U8(frame), int(frame.size()), *command, r))
        return AffairReply{};
    return r;
}

// 2014-07-15 12:34:56 and 2014-07-16 08:00:00 (Asia/Shanghai: 1405398896 and 1405468800).
inline QByteArray StartDate()
{
    return QByteArray::fromHex("38220c0f070e14");
}
inline QByteArray EndDate()
{
    return QByteArray::fromHex("0000081007"
                               "0e14");
}

} // namespace testframes
