#include "SimRequest.h"

namespace {

constexpr int kHeaderSize = 4;
constexpr int kModeShort = 2;
constexpr int kModeExtended = 3;
constexpr int kModeBroadcast = 15;

int FindHeader(const QByteArray &buffer)
{
    const char header[kHeaderSize] = {'\xFF', '\x7F', '\x75', '\x7B'};
    return static_cast<int>(buffer.indexOf(QByteArray::fromRawData(header, kHeaderSize)));
}

// Fills the addressing part of r from the frame; false when the block is malformed or does not
// fit before the check byte.
bool ParseAddressing(const quint8 *frame, int length, SimRequest &r)
{
    using FrameCodec::kRequestBodyOffset;
    if (length < kRequestBodyOffset + 1)
        return false;
    r.addrMode = frame[kRequestBodyOffset];
    int bodyStart = 0;
    switch (r.addrMode) {
    case kModeShort:
        bodyStart = kRequestBodyOffset + 3;
        if (length < bodyStart)
            return false;
        r.shortAddress = static_cast<quint16>(FrameCodec::Get16(frame + kRequestBodyOffset + 1));
        break;
    case kModeExtended:
        bodyStart = kRequestBodyOffset + 9;
        if (length < bodyStart)
            return false;
        r.extAddress = FrameCodec::AddressFromBytes(frame + kRequestBodyOffset + 1);
        break;
    case kModeBroadcast:
        bodyStart = kRequestBodyOffset + 1;
        break;
    default:
        return false;
    }
    r.body = QByteArray(reinterpret_cast<const char *>(frame + bodyStart), length - bodyStart);
    return true;
}

} // namespace

bool IsNodeAddressed(FrameCodec::Command command)
{
    return command != FrameCodec::Command::GDI && FrameCodec::IsNetworkCommand(command);
}

std::vector<SimRequest> RequestScanner::Feed(const QByteArray &bytes)
{
    using FrameCodec::kMaxRequestLength;
    using FrameCodec::kRequestBodyOffset;
    buffer_.append(bytes);
    std::vector<SimRequest> found;
    for (;;) {
        const int at = FindHeader(buffer_);
        if (at < 0) {
            // Keep a possible partial header at the end.
            if (buffer_.size() > kHeaderSize - 1)
                buffer_.remove(0, buffer_.size() - (kHeaderSize - 1));
            break;
        }
        buffer_.remove(0, at);
        if (buffer_.size() < kRequestBodyOffset)
            break;
        const auto *frame = reinterpret_cast<const quint8 *>(buffer_.constData());
        const std::optional<FrameCodec::Command> command = FrameCodec::RequestCommand(frame + kHeaderSize);
        const int length = frame[7];
        if (!command || length < kRequestBodyOffset || length > kMaxRequestLength) {
            ++rejected_;
            buffer_.remove(0, 1);
            continue;
        }
        if (buffer_.size() < length + 1)
            break;
        SimRequest r;
        r.command = *command;
        bool ok = FrameCodec::RequestCheckByte(frame, length) == frame[length];
        if (ok && IsNodeAddressed(r.command)) {
            ok = ParseAddressing(frame, length, r);
        } else if (ok) {
            r.body = QByteArray(reinterpret_cast<const char *>(frame + kRequestBodyOffset),
                                length - kRequestBodyOffset);
        }
        if (!ok) {
            ++rejected_;
            buffer_.remove(0, 1);
            continue;
        }
        buffer_.remove(0, length + 1);
        found.push_back(std::move(r));
    }
    return found;
}
