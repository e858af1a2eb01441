#include "link/CUart_CommApp.h"

#include "base/StringIds.h"
#include "link/CUartAffairInterface.h"
#include "link/CUartAffairLink.h"
#include "link/LinkErrorDisplay.h"

namespace {

// "未有仪器连接到电脑": no instrument is connected to the computer.

// Parameters a kind collects from its source.
constexpr quint32 kCollectRtInterval = 0x8000;
constexpr quint32 kCollectStart = 0x1;
constexpr quint32 kCollectInterval = 0x8;
constexpr quint32 kCollectAlarm = 0x80;
constexpr quint32 kCollectDownload = 0x800;

quint32 ParamsToCollect(RequestKind kind)
{
    switch (kind) {
    case RequestKind::StartLogging:
        return kCollectStart | kCollectInterval | kCollectAlarm;
    case RequestKind::SetRealTime:
        return kCollectRtInterval;
    case RequestKind::Download:
        return kCollectDownload;
    case RequestKind::SetAlarm:
        return kCollectAlarm;
    default:
        return 0;
    }
}

} // namespace

CUartAffairLink &CUart_CommApp::Link()
{
    if (!m_link) {
        m_link = new CUartAffairLink(this);
        SetReplyHandler(m_link);
    }
    return *m_link;
}

int CUart_CommApp::SubmitCommand(CUartAffairInterface *source, RequestKind kind, int row)
{
    if (m_port.ConnectedPort() < 0) {
        if (m_errorDisplay)
            m_errorDisplay->ShowLinkError(Sid::NoNodeConnected);
        return 0;
    }
    CUartAffairLink &link = Link();

    if (KindNumber(kind) >= 1 && KindNumber(kind) <= 11) {
        QString address = FrameCodec::PlaceholderAddressText();
        quint32 collect = 0;
        int shortAddress = 0xFFFF;
        if (source) {
            address = source->ExtAddressText(row);
            collect = ParamsToCollect(kind);
            shortAddress = link.Services().ShortAddress(source->NodeId(row));
        }
        if (!link.Create(kind, address))
            return 0;
        if (collect & kCollectRtInterval)
            link.SetRtInterval(source->RtInterval(row));
        if (collect & kCollectStart)
            link.SetStartTime(source->LogStartTime(row));
        if (collect & kCollectInterval)
            link.SetLogInterval(source->LogInterval(row));
        if (collect & kCollectAlarm)
            link.SetAlarm(source->AlarmMode(row), source->Ch1Lower(row), source->Ch1Upper(row),
                          source->Ch2Lower(row), source->Ch2Upper(row));
        if (collect & kCollectDownload) {
            const LinkServices::StoredHistory stored = link.Services().StoredHistoryOf(address);
            link.SetDownloadPlan(source->DownloadMode(row), source->DownloadPlanFrom(row),
                                 source->DownloadPlanTo(row), stored.start, stored.length);
        }
        link.SetShortAddress(shortAddress);
        return link.Commit();
    }

    if ((kind == RequestKind::SelfCheck || kind == RequestKind::GprsLock) && !source) {
        if (!link.Create(kind, FrameCodec::ExtAddress{}))
            return 0;
        if (kind == RequestKind::SelfCheck) {
            link.SetGprsStart(0, 0);
        } else {
            GprsBook &book = link.Services().Gprs();
            book.SetPhoneListState(0);
            link.SetGprsStart(book.CountLoggers(), qint32(book.PhoneMask()));
        }
        return link.Commit();
    }
    return 0;
}
