#pragma once

#include "base/ValueFormat.h"
#include "link/LinkServices.h"

#include <QString>
#include <QtGlobal>

#include <array>
#include <memory>

// The live record of one node, keyed by its node-table id. It holds what the program learns at
// run time: reachability and short address, status, faults, signal and power, the newest
// real-time samples in a ring, the parameters and progress of pending commands and the GPRS
// binding. Items live in the network table (CCorvaneBeeNode) that owns them.
struct BeeNodeItem {
    static constexpr int kRingSize = 10000;
    static constexpr quint8 kStatusCreated = 0xCF; // run state and alarm setting unknown
    static constexpr quint8 kStatusReset = 0x0F;
    static constexpr qint64 kDefaultRtTimeout = 3600;

    explicit BeeNodeItem(quint32 nodeId) : id(nodeId) {}

    // Appends a real-time sample to the ring (loggers only); false for other types.
    bool AddRtSample(qint64 time, float ch1, float ch2);
    [[nodiscard]] int RtCount() const;
    // Sample i, 0 = oldest; out of range or absent arrays give 0 / kNoValue.
    [[nodiscard]] qint64 RtTime(int i) const;
    [[nodiscard]] float RtCh1(int i) const;
    [[nodiscard]] float RtCh2(int i) const;

    // The GPRS form of a name: up to 12 UTF-16 code units, each as 4 upper-case hexadecimal
    // digits, most significant first; the rest stays 0.
    [[nodiscard]] static GprsName MakeGprsName(const QString &name);

    quint32 id;
    quint32 fatherId = 0;
    quint8 type = 0;
    qint32 treeOrder = -1; // set by the table load right after creation
    qint32 shortAddress = -1;
    qint64 lastConnectTime = 0;
    quint8 status = kStatusCreated;
    quint8 faultFlags = 0;
    qint32 rfLevel = 50;
    quint8 powerLevel = 0;
    float ch1Upper = kNoValue;
    float ch1Lower = kNoValue;
    float ch2Upper = kNoValue;
    float ch2Lower = kNoValue;
    qint64 rtTimeout = kDefaultRtTimeout;
    quint8 rtFlag = 0;
    qint64 rtInterval = 0;
    qint64 rtRequestedInterval = 0;
    qint32 rtFirst = -1;
    qint32 rtLast = -1;
    float ch1Max = kNoValue;
    float ch1Min = kNoValue;
    float ch2Max = kNoValue;
    float ch2Min = kNoValue;
    std::unique_ptr<qint64[]> rtTimes;
    std::unique_ptr<float[]> rtCh1;
    std::unique_ptr<float[]> rtCh2;
    quint8 rtCmdState = 0;
    qint64 logStartTime = 0;
    qint64 logInterval = 0;
    quint8 alarmEnable = 0;
    float devCh1Upper = kNoValue;
    float devCh1Lower = kNoValue;
    float devCh2Upper = kNoValue;
    float devCh2Lower = kNoValue;
    quint8 logCmdState = 0;
    quint8 downloadCmdState = 0;
    quint8 downloadPlanMode = 0;
    qint64 downloadPlanFrom = 0;
    qint64 downloadPlanTo = 0;
    qint64 downloadTime = 0;
    qint32 gprsSlot = -1;
    GprsName gprsName{};
    quint32 gprsBindMask = 0;
};
