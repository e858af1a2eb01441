#pragma once

#include "link/FrameCodec.h"

#include <QByteArray>
#include <QtGlobal>

#include <vector>

// One request frame as the receiver understood it.
struct SimRequest {
    FrameCodec::Command command{};
    int addrMode = 0; // 2 short, 3 extended, 15 broadcast; 0 for commands without addressing
    quint16 shortAddress = 0;
    FrameCodec::ExtAddress extAddress{};
    QByteArray body; // the bytes after the addressing block, up to the check byte
};

// Collects the bytes the PC writes and cuts them into request frames: header, a request code,
// the length byte L, the request check byte at offset L. Everything that does not form such a
// frame (the zero padding up to 64 bytes, noise, a damaged frame) is skipped one byte at a
// time, so that a good frame behind it is still found.
class RequestScanner {
public:
    // Appends bytes and returns the complete frames found so far, oldest first.
    [[nodiscard]] std::vector<SimRequest> Feed(const QByteArray &bytes);
    // Frames dropped so far because their check byte, length or addressing block was bad.
    [[nodiscard]] int RejectedFrames() const { return rejected_; }
    [[nodiscard]] int Buffered() const { return static_cast<int>(buffer_.size()); }

private:
    QByteArray buffer_;
    int rejected_ = 0;
};

// True for the commands whose body opens with an addressing block.
[[nodiscard]] bool IsNodeAddressed(FrameCodec::Command command);
