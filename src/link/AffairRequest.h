#pragma once

#include "link/FrameCodec.h"
#include "link/RequestKind.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <memory>

struct AffairReply;

// One request of the link's queue: what the operator asked for, the parameters its frames carry,
// where it stands in its steps and what its answers have brought so far.
struct AffairRequest {
    // Phases.
    static constexpr quint8 kPhaseQueued = 1;
    static constexpr quint8 kPhaseRunning = 2;
    static constexpr quint8 kPhaseReceiving = 3;
    static constexpr quint8 kPhaseFinished = 0x58;

    // Timing of one step, in link ticks.
    static constexpr int kStepLife = 175;
    static constexpr quint8 kResendClamp = 25;

    // Parameter-presence bits.
    static constexpr quint32 kParamStartTime = 0x1;
    static constexpr quint32 kParamLogInterval = 0x8;
    static constexpr quint32 kParamAlarm = 0x80;
    static constexpr quint32 kParamAddress = 0x200;
    static constexpr quint32 kParamDownloadPlan = 0x1000;
    static constexpr quint32 kParamRtInterval = 0x8000;

    AffairRequest();
    ~AffairRequest();
    AffairRequest(const AffairRequest &) = delete;
    AffairRequest &operator=(const AffairRequest &) = delete;

    RequestKind kind{};
    quint8 phase = kPhaseQueued;
    quint8 resendCountdown = 1;
    qint32 life = kStepLife;
    qint32 scanBudget = -1;
    quint32 params = 0;
    quint32 addrMode = 3;
    std::array<quint8, 2> shortAddress{};
    std::array<quint8, 8> extAddress{};
    FrameCodec::Command step{}; // the command of the step under way; set when queued
    qint64 startTime = 0;
    qint64 queuedTime = 0;
    qint64 logInterval = 0;
    quint8 alarmMode = 0;
    float limit1 = 0.0f;
    float limit2 = 0.0f;
    float limit3 = 0.0f;
    float limit4 = 0.0f;
    quint8 downloadMode = 0;
    qint64 planFrom = 0;
    qint64 planTo = 0;
    qint64 storedStart = 0;
    qint32 storedLength = 0;
    qint64 rtInterval = 0;
    qint32 gprsLoggerCount = 0;
    qint32 gprsIndex = 0;
    std::array<quint8, 8> gprsLoggerAddress{};
    std::array<quint8, 48> gprsInfo{};
    qint32 gprsBindMask = 0;
    qint32 phoneSlotMask = 0;
    qint32 phoneSlotIndex = 0;
    std::array<quint8, 16> phoneNumber{};
    std::unique_ptr<AffairReply> result;

    // Starts the next step: the step's first frame goes out on the next tick.
    void BeginStep(FrameCodec::Command nextStep);
    [[nodiscard]] bool IsFinished() const { return phase == kPhaseFinished; }
    // The extended address as 16 lowercase hexadecimal digits.
    [[nodiscard]] QString ExtAddressText() const;
};

// The parameters a request of each kind must carry before it may be queued; kinds without a
// request (10 and unknown numbers) give a value no request reaches.
[[nodiscard]] quint32 RequiredParams(RequestKind kind);
