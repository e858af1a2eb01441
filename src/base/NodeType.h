#pragma once

#include <QString>
#include <QtGlobal>

// The device type byte of a node. Only the bits of mask 0xCC classify it; bit 7 marks a logger
// (channel 1), bit 3 channel 2, which is relative humidity for the temperature-humidity logger.
namespace NodeType {

constexpr quint8 kClassMask = 0xCC;
constexpr quint8 Receiver = 0x40;
constexpr quint8 Router = 0x04;
constexpr quint8 SingleTemp = 0x80;
constexpr quint8 DualTemp = 0x88;
constexpr quint8 TempHumidity = 0x8C;
// The status bit of a logger whose alarm is enabled.
constexpr quint8 kStatusAlarmEnabled = 0x04;

[[nodiscard]] constexpr quint8 Class(quint8 type)
{
    return quint8(type & kClassMask);
}
[[nodiscard]] constexpr bool IsReceiver(quint8 type)
{
    return Class(type) == Receiver;
}
[[nodiscard]] constexpr bool IsRouter(quint8 type)
{
    return Class(type) == Router;
}
// Loggers in the counting sense: single, dual or temperature-humidity.
[[nodiscard]] constexpr bool IsLogger(quint8 type)
{
    return Class(type) == SingleTemp || Class(type) == DualTemp || Class(type) == TempHumidity;
}
[[nodiscard]] constexpr bool HasChannel1(quint8 type)
{
    return (type & 0x80) != 0;
}
[[nodiscard]] constexpr bool HasChannel2(quint8 type)
{
    return Class(type) == DualTemp || Class(type) == TempHumidity;
}

// String id of the type's name: 117 receiver .. 121 temperature-humidity, 122 unknown.
[[nodiscard]] int NameId(quint8 type);
[[nodiscard]] QString Name(quint8 type);
// Reverse mapping of a display name over the texts of ids 117..121 (the last match wins);
// 0 when none matches.
[[nodiscard]] quint8 FromName(const QString &name);

} // namespace NodeType
