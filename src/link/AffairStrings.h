#pragma once

#include <QtGlobal>

// The status bit of a logger whose alarm is enabled.
inline constexpr quint8 kStatusAlarmEnabled = 0x04;

// String ids of the texts the engine shows and logs.
namespace Str {
constexpr int Receive = 411;
constexpr int Get = 406;
constexpr int Set = 407;
constexpr int Download = 408;
constexpr int Done = 410;
constexpr int RunInfoReceiver = 234;
constexpr int RunInfoNode = 235;
constexpr int RealTime = 236;
constexpr int StartState = 237;
constexpr int StopLog = 238;
constexpr int RtState = 239;
constexpr int LogInfo = 240;
constexpr int LogData = 241;
constexpr int AlarmInfo = 242;
constexpr int StartTime = 161;
constexpr int LogInterval = 162;
constexpr int Ch1Alarm = 163;
constexpr int Ch2Alarm = 164;
constexpr int AlarmOn = 231;
constexpr int AlarmOff = 249;
constexpr int TimeRange = 250;
constexpr int AllNew = 251;
constexpr int Interval = 135;
constexpr int Interrupted = 405;
constexpr int NotFinished = 435;
constexpr int Scan = 481;
constexpr int ScanFinished = 482;
constexpr int ScanRunning = 483;
constexpr int SelfCheck = 461;
constexpr int LockGprs = 462;
constexpr int Warning = 414;
constexpr int ConnectionLost = 457;
constexpr int WordConnect = 416;
constexpr int WordGet = 417;
constexpr int WordSet = 415;
constexpr int WordDownload = 419;
constexpr int WordSystem = 425;
constexpr int Ch1Data = 429;
constexpr int Ch2Data = 430;
constexpr int Ch1Fault = 431;
constexpr int Ch2Fault = 432;
constexpr int GprsFault = 433;
constexpr int RadioFault = 434;
} // namespace Str
