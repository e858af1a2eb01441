#pragma once

#include "base/AppSettings.h"
#include "storage/CNodeDataSave.h"

// A full 200000-sample dual-channel record with alarm limits, Chinese texts and Celsius, built
// once: what the export and report benchmarks lay out.
inline CNodeDataSave &FullDualRecord()
{
    static CNodeDataSave s;
    static const bool ready = [] {
        AppSettings &a = AppSettings::Instance();
        a.SetLanguage(UiLanguage::Chinese);
        a.SetCurrentTempUnit(a.CelsiusText());
        s.deviceType = 0x88;
        s.name = QStringLiteral("冷库A");
        s.nodeKey = QStringLiteral("00124b0001a2b3c4");
        s.interval = 60;
        s.recordStart = 1700000000;
        for (int i = 0; i < CNodeDataSave::kCapacity; ++i) {
            s.ch1()[i] = 2.0f + float(i % 700) / 100;
            s.ch2()[i] = -18.0f + float(i % 300) / 100;
        }
        s.ch1Count = s.ch2Count = CNodeDataSave::kCapacity;
        s.FillSampleTimes();
        s.recordEnd = s.times()[CNodeDataSave::kCapacity - 1];
        s.alarmFlag = 4;
        s.ch1Lower = 2.5f;
        s.ch1Upper = 8.0f;
        s.ch2Lower = -17.5f;
        s.ch2Upper = -16.0f;
        return s.ComputeRangeStatistics(s.recordStart, s.recordEnd) == 1;
    }();
    (void)ready;
    return s;
}
