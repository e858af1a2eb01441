#pragma once

#include <QtGlobal>

// What the operator (or the program) asks of the network: the kind of a queued request. The
// numbers are those the request table and the command-state codes are keyed by.
enum class RequestKind : quint8 {
    ReceiverInfo = 1,      // the receiver's own information (GDI): the probe and keep-alive
    NodeInfo = 2,          // a node's information (GNI)
    ReadRealTime = 3,      // one real-time sample (GMD)
    StartLogging = 4,      // start recording with start time, interval and alarm (STN)
    StopLogging = 5,       // stop recording (SPN)
    SetRealTime = 6,       // real-time reporting interval, 0 stops it (RTC)
    RefreshConnection = 7, // node information, then the recording information (GHI)
    Download = 8,          // recorded history (GHI, then DLD blocks)
    SetAlarm = 9,          // alarm switch and limits (WNN)
    Leave = 10,            // make a node leave the network (SNM); nothing submits it
    Scan = 11,             // network scan (broadcast GNI)
    SelfCheck = 12,        // read the receiver's GPRS phone book and logger entries back
    GprsLock = 13,         // write the phone book and logger entries into the receiver
};

// The kind's number; kinds 1 to 13.
[[nodiscard]] constexpr int KindNumber(RequestKind kind)
{
    return static_cast<int>(kind);
}
