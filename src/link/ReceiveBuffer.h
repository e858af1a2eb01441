#pragma once

#include "link/AffairReply.h"

#include <QtGlobal>

#include <array>

// Takes the records decoded from received frames. Every frame that passed its trailer and check
// byte is offered once. Returning true accepts the record; the handler may then move its content
// away, because the record is reset before the next frame is decoded into it.
class IReplyHandler {
public:
    virtual ~IReplyHandler() = default;
    [[nodiscard]] virtual bool HandleReply(AffairReply &reply) = 0;
};

// The link's receive buffer: a fixed 6144-byte array in which whole answer frames are found,
// checked, decoded and offered to a reply handler. Pure byte work, no I/O and no allocation per
// chunk, so that it can be driven by the port, by tools and by the fuzzer alike.
class ReceiveBuffer {
public:
    static constexpr int kSize = 6144;

    struct Result {
        bool accepted = false;      // the handler accepted at least one record
        bool blockAccepted = false; // ... and one of them was a DLD data block
    };

    // Appends the chunk when it fits whole; otherwise drops all of it and returns false.
    [[nodiscard]] bool Append(const quint8 *bytes, qint64 count);
    // Finds, checks and decodes every whole frame buffered and offers each to the handler.
    Result Extract(IReplyHandler &handler);

    [[nodiscard]] int Count() const { return m_count; }
    [[nodiscard]] const quint8 *Data() const { return m_buffer.data(); }

private:
    // Moves the bytes after the first count to the front.
    void Remove(int count);
    // Index of the first full header, or -1.
    [[nodiscard]] int FindHeader() const;
    // Total length of the frame at the front; 0 while more bytes are needed (need is raised).
    [[nodiscard]] int FrameLength(FrameCodec::Command command, int &need) const;

    std::array<quint8, kSize> m_buffer{};
    int m_count = 0;
    AffairReply m_reply; // reused for every frame
};
