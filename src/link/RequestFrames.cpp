#include "link/RequestFrames.h"

#include "link/AffairReply.h"
#include "link/AffairRequest.h"

#include <array>

namespace RequestFrames {

namespace {

using namespace FrameCodec;

// Collects a request body; the longest body (MDN) is 50 bytes.
class Body {
public:
    void Byte(quint8 b) { m_bytes[m_size++] = b; }
    void Bytes(const quint8 *p, int n)
    {
        for (int i = 0; i < n; ++i)
            Byte(p[i]);
    }
    void U16(quint32 v)
    {
        Put16(v, m_bytes.data() + m_size);
        m_size += 2;
    }
    void U24(quint32 v)
    {
        Put24(v & 0xFFFFFF, m_bytes.data() + m_size);
        m_size += 3;
    }
    void Limit(float v)
    {
        EncodeLimit(v, m_bytes.data() + m_size);
        m_size += 2;
    }
    void Mask10(int v)
    {
        EncodeMask10(v, m_bytes.data() + m_size);
        m_size += 2;
    }
    void Date(qint64 seconds)
    {
        EncodeDate(seconds, m_bytes.data() + m_size);
        m_size += 7;
    }
    [[nodiscard]] const quint8 *Data() const { return m_bytes.data(); }
    [[nodiscard]] int Size() const { return m_size; }

private:
    std::array<quint8, kRequestSize> m_bytes{};
    int m_size = 0;
};

// The addressing block that opens the body of a node-addressed request.
void Address(const AffairRequest &r, Body &body)
{
    body.Byte(static_cast<quint8>(r.addrMode));
    if (r.addrMode == 2)
        body.Bytes(r.shortAddress.data(), 2);
    else if (r.addrMode == 3)
        body.Bytes(r.extAddress.data(), 8);
}

void Alarm(const AffairRequest &r, Body &body)
{
    body.Byte(r.alarmMode);
    body.Limit(r.limit1);
    body.Limit(r.limit2);
    body.Limit(r.limit3);
    body.Limit(r.limit4);
}

// The body of a step of the network's own requests; false for a step that is none.
bool NetworkBody(const AffairRequest &r, qint64 now, Body &body)
{
    switch (r.step) {
    case Command::GDI:
        return true;
    case Command::GNI:
    case Command::GMD:
    case Command::SPN:
    case Command::GHI:
    case Command::SNM:
    case Command::NWS:
        Address(r, body);
        return true;
    case Command::STN:
        Address(r, body);
        body.Date(r.startTime);
        body.Date(now);
        body.U24(static_cast<quint32>(r.logInterval));
        Alarm(r, body);
        return true;
    case Command::RTC:
        Address(r, body);
        body.U24(static_cast<quint32>(r.rtInterval));
        return true;
    case Command::DLD:
        Address(r, body);
        if (r.result && r.result->block) {
            const DownloadBlock &b = *r.result->block;
            body.U24(static_cast<quint32>(b.address));
            body.U24(static_cast<quint32>(b.total - b.received));
        }
        return true;
    case Command::WNN:
        Address(r, body);
        Alarm(r, body);
        return true;
    default:
        return false;
    }
}

// The body of a GPRS transaction's step; false for a step that is none.
bool GprsBody(const AffairRequest &r, Body &body)
{
    switch (r.step) {
    case Command::MEQ:
    case Command::MGQ:
        return true;
    case Command::MDQ:
        body.U16(static_cast<quint32>(r.gprsLoggerCount));
        return true;
    case Command::MDI:
        body.U16(static_cast<quint32>(r.gprsIndex));
        body.Bytes(r.gprsLoggerAddress.data(), 8);
        return true;
    case Command::MEI:
    case Command::MEN:
    case Command::MBN:
        body.U16(static_cast<quint32>(r.gprsIndex));
        return true;
    case Command::MDN:
        body.U16(static_cast<quint32>(r.gprsIndex));
        body.Bytes(r.gprsInfo.data(), int(r.gprsInfo.size()));
        return true;
    case Command::MSQ:
        body.Mask10(r.phoneSlotMask);
        return true;
    case Command::MSN:
        body.U16(static_cast<quint32>(r.phoneSlotIndex));
        body.Bytes(r.phoneNumber.data(), int(r.phoneNumber.size()));
        return true;
    case Command::MGN:
        body.U16(static_cast<quint32>(r.phoneSlotIndex));
        return true;
    case Command::MAN:
        body.U16(static_cast<quint32>(r.gprsIndex));
        body.Mask10(r.gprsBindMask);
        return true;
    default:
        return false;
    }
}

} // namespace

void ApplyStartTimeRule(AffairRequest &request, qint64 now)
{
    if (request.startTime < now)
        request.startTime = now;
}

bool Build(const AffairRequest &r, qint64 now, RequestBuffer &out)
{
    Body body;
    if (!NetworkBody(r, now, body) && !GprsBody(r, body)) {
        out.fill(0);
        return false;
    }
    return BuildRequest(r.step, body.Data(), body.Size(), out);
}

} // namespace RequestFrames
