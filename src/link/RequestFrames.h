#pragma once

#include "link/FrameCodec.h"

#include <QtGlobal>

struct AffairRequest;

// The request frames of the link's transactions: pure functions from a request record (and the
// PC's clock) to the 64 bytes written to the port.
namespace RequestFrames {

// The STN rule applied before a start frame is built: a start time in the past becomes now, in
// the stored request too, so the logger never gets a start it would treat as already missed.
void ApplyStartTimeRule(AffairRequest &request, qint64 now);

// Builds the frame of the request's current step into out (zeros after the check byte). now is
// the PC's clock, sent as STN's second time field. False (out all zero) when the step is no
// request command.
[[nodiscard]] bool Build(const AffairRequest &request, qint64 now, FrameCodec::RequestBuffer &out);

} // namespace RequestFrames
