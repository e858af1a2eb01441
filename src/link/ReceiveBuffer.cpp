#include "link/ReceiveBuffer.h"

#include <cstring>

using namespace FrameCodec;

bool ReceiveBuffer::Append(const quint8 *bytes, qint64 count)
{
    if (count <= 0)
        return true;
    if (count > kSize - m_count)
        return false;
    std::memcpy(m_buffer.data() + m_count, bytes, static_cast<std::size_t>(count));
    m_count += static_cast<int>(count);
    return true;
}

void ReceiveBuffer::Remove(int count)
{
    if (count <= 0)
        return;
    if (count >= m_count) {
        m_count = 0;
        return;
    }
    std::memmove(m_buffer.data(), m_buffer.data() + count, static_cast<std::size_t>(m_count - count));
    m_count -= count;
}

int ReceiveBuffer::FindHeader() const
{
    const quint8 *data = m_buffer.data();
    for (int i = 0; i + 3 < m_count; ++i) {
        const void *hit = std::memchr(data + i, kHeader[0], static_cast<std::size_t>(m_count - 3 - i));
        if (!hit)
            return -1;
        i = static_cast<int>(static_cast<const quint8 *>(hit) - data);
        if (std::memcmp(data + i, kHeader.data(), kHeader.size()) == 0)
            return i;
    }
    return -1;
}

int ReceiveBuffer::FrameLength(Command command, int &need) const
{
    const quint8 *data = m_buffer.data();
    int total = 0;
    switch (command) {
    case Command::GMD:
        // The short form first; only when it does not check out, the form with a short address.
        if (m_count >= kGmdShortLength && HasTrailer(data, kGmdShortLength) &&
            HasAnswerCheckByte(data, kGmdShortLength))
            return kGmdShortLength;
        total = m_count < kGmdShortLength ? kGmdShortLength : kGmdLongLength;
        break;
    case Command::DLD:
        total = m_count < kDldBaseLength ? kDldBaseLength : kDldBaseLength + data[kDldCountOffset];
        break;
    default:
        total = AnswerLength(command);
        break;
    }
    if (m_count < total) {
        need = total;
        return 0;
    }
    return total;
}

ReceiveBuffer::Result ReceiveBuffer::Extract(IReplyHandler &handler)
{
    Result result;
    if (m_count < kMinAnswerLength)
        return result;
    int need = kMinAnswerLength;
    while (m_count >= need) {
        const int at = FindHeader();
        if (at < 0) {
            // Keep three bytes: they may be the start of a header still arriving.
            Remove(m_count - 3);
            continue;
        }
        Remove(at);
        if (m_count < kAnswerBodyOffset)
            continue;
        const std::optional<Command> answer = AnswerCommand(m_buffer.data() + 4);
        if (!answer) {
            // Spoil this header so that the next search goes on behind it.
            m_buffer[0] = 0;
            continue;
        }
        const Command command = *answer;
        const int total = FrameLength(command, need);
        if (total == 0)
            continue; // the loop ends: fewer than need bytes are buffered
        const quint8 *frame = m_buffer.data();
        const bool trailer = HasTrailer(frame, total);
        if (!trailer || !HasAnswerCheckByte(frame, total)) {
            if (command == Command::DLD && trailer)
                Remove(total); // a data block is never searched for headers
            else
                m_buffer[0] = 0;
            continue;
        }
        const bool accepted = DecodeAnswer(frame, total, command, m_reply) && handler.HandleReply(m_reply);
        Remove(total);
        need = kMinAnswerLength;
        if (accepted) {
            result.accepted = true;
            result.blockAccepted = result.blockAccepted || command == Command::DLD;
        }
    }
    return result;
}
