#include "link/AffairRequest.h"

#include "link/AffairReply.h"
#include "link/FrameCodec.h"

AffairRequest::AffairRequest() = default;
AffairRequest::~AffairRequest() = default;

void AffairRequest::BeginStep(quint8 nextStep)
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

quint32 RequiredParams(int kind)
{
    switch (kind) {
    case 1:
    case 12:
    case 13:
        return 0;
    case 2:
    case 3:
    case 5:
    case 7:
    case 11:
        return AffairRequest::kParamAddress;
    case 4:
        return AffairRequest::kParamAddress | AffairRequest::kParamAlarm | AffairRequest::kParamLogInterval |
               AffairRequest::kParamStartTime;
    case 6:
        return AffairRequest::kParamAddress | AffairRequest::kParamRtInterval;
    case 8:
        return AffairRequest::kParamAddress | AffairRequest::kParamDownloadPlan;
    case 9:
        return AffairRequest::kParamAddress | AffairRequest::kParamAlarm;
    case 10:
        // SNM carries a bit that no setter sets: no operation may queue it.
        return 0x10200;
    default:
        return 0xFFFFFFFFu;
    }
}
