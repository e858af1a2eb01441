#pragma once

#include "link/AffairReply.h"
#include "link/FrameCodec.h"

#include <QByteArray>
#include <QString>

#include <array>

// Request frames as the PC writes them (64 bytes), built with the link's own encoders.
namespace simtest {

inline QByteArray Request(FrameCodec::Command command, const QByteArray &body = {})
{
    FrameCodec::RequestBuffer buffer{};
    if (!FrameCodec::BuildRequest(command, reinterpret_cast<const quint8 *>(body.constData()),
                                  static_cast<int>(body.size()), buffer))
        return {};
    return QByteArray(reinterpret_cast<const char *>(buffer.data()), static_cast<int>(buffer.size()));
}

inline QByteArray ByShort(int shortAddress)
{
    return QByteArray{"\x02", 1} + QByteArray(1, static_cast<char>(shortAddress >> 8)) +
           QByteArray(1, static_cast<char>(shortAddress & 0xFF));
}

inline QByteArray ByExt(const QString &text)
{
    const auto address = FrameCodec::AddressFromText(text);
    QByteArray out(1, '\x03');
    if (address)
        out.append(reinterpret_cast<const char *>(address->data()), 8);
    return out;
}

inline QByteArray Broadcast()
{
    return QByteArray(1, '\x0F');
}

inline QByteArray U16(int v)
{
    return QByteArray(1, static_cast<char>(v >> 8)) + QByteArray(1, static_cast<char>(v));
}

inline QByteArray U24(qint64 v)
{
    return QByteArray(1, static_cast<char>(v >> 16)) + U16(static_cast<int>(v & 0xFFFF));
}

inline QByteArray Date(qint64 seconds)
{
    quint8 b[7];
    FrameCodec::EncodeDate(seconds, b);
    return QByteArray(reinterpret_cast<const char *>(b), 7);
}

inline QByteArray Limits(float a, float b, float c, float d)
{
    QByteArray out(8, '\0');
    auto *p = reinterpret_cast<quint8 *>(out.data());
    FrameCodec::EncodeLimit(a, p);
    FrameCodec::EncodeLimit(b, p + 2);
    FrameCodec::EncodeLimit(c, p + 4);
    FrameCodec::EncodeLimit(d, p + 6);
    return out;
}

inline QByteArray Mask10(int mask)
{
    QByteArray out(2, '\0');
    FrameCodec::EncodeMask10(mask, reinterpret_cast<quint8 *>(out.data()));
    return out;
}

inline QString Text(const FrameCodec::ExtAddress &a)
{
    return FrameCodec::AddressToText(a);
}

} // namespace simtest
