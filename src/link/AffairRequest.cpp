#include "link/AffairRequest.h"

#include "link/AffairReply.h"
#include "link/FrameCodec.h"

AffairRequest::AffairRequest() = default;
AffairRequest::~AffairRequest() = default;

void AffairRequest::BeginStep(FrameCodec::Command nextStep)
{
    step = nextStep;
    phase = kPhaseRunning;
    resendCountdown = 1;
    life = kStepLife;
}

QString AffairRequest::ExtAddressText() const
{
    return FrameCodec::AddressToText(extAddress);
}

quint32 RequiredParams(RequestKind kind)
{
    switch (kind) {
    case RequestKind::ReceiverInfo:
    case RequestKind::SelfCheck:
    case RequestKind::GprsLock:
        return 0;
    case RequestKind::NodeInfo:
    case RequestKind::ReadRealTime:
    case RequestKind::StopLogging:
    case RequestKind::RefreshConnection:
    case RequestKind::Scan:
        return AffairRequest::kParamAddress;
    case RequestKind::StartLogging:
        return AffairRequest::kParamAddress | AffairRequest::kParamAlarm | AffairRequest::kParamLogInterval |
               AffairRequest::kParamStartTime;
    case RequestKind::SetRealTime:
        return AffairRequest::kParamAddress | AffairRequest::kParamRtInterval;
    case RequestKind::Download:
        return AffairRequest::kParamAddress | AffairRequest::kParamDownloadPlan;
    case RequestKind::SetAlarm:
        return AffairRequest::kParamAddress | AffairRequest::kParamAlarm;
    case RequestKind::Leave:
        // SNM carries a bit that no setter sets: no operation may queue it.
        return 0x10200;
    default:
        return 0xFFFFFFFFu;
    }
}
