#include "views/core/ManagerCells.h"

#include "views/core/ListTexts.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "network/BeeNodeItem.h"
#include "storage/CCorvaneNetMger.h"
#include "base/NodeType.h"

#include <array>

namespace {

constexpr int kUnknownRf = 50;
constexpr int kRunUnknown = 3;
constexpr int kAlarmSet = 4;

enum class Kind { Receiver, Router, Logger, Other };

Kind KindOf(quint8 type)
{
    if (NodeType::IsReceiver(type))
        return Kind::Receiver;
    if (NodeType::IsRouter(type))
        return Kind::Router;
    if (NodeType::HasChannel1(type))
        return Kind::Logger;
    return Kind::Other;
}

// Exactly one fault flag replaces the run-state text; two at once do not.
int FaultTextId(quint8 flags)
{
    switch (flags) {
    case 0x04:
        return 275; // 异常：传感器1
    case 0x08:
        return 276; // 异常：传感器2
    case 0x10:
        return 277; // 异常：GPRS连接
    case 0x20:
        return 278; // 异常：射频连接
    default:
        return 0;
    }
}

struct ColumnInfo {
    int titleId;
    const char *key;
};

constexpr std::array<ColumnInfo, MgrColumnCount> kColumns{{
    {Sid::CheckColumn, "number"},
    {102, "name"},
    {103, "type"},
    {104, "runState"},
    {105, "lastConnect"},
    {106, "alarmSetting"},
    {107, "rf"},
    {108, "power"},
    {109, "startTime"},
    {110, "stopTime"},
    {111, "interval"},
    {112, "ch1Alarm"},
    {114, "ch2Alarm"},
    {116, "extAddress"},
    {0, "id"},
}};

} // namespace

ManagerCells::ManagerCells(const NodeRow &row, const BeeNodeItem &live, QString ch1Unit, QString ch2Unit)
    : m_row(row), m_live(live), m_ch1Unit(std::move(ch1Unit)), m_ch2Unit(std::move(ch2Unit))
{
}

int ManagerCells::RunState() const
{
    return m_live.status & 0x03;
}

int ManagerCells::AlarmSetting() const
{
    return m_live.status & 0x0C;
}

QString ManagerCells::Text(int column) const
{
    const bool logger = KindOf(m_row.type) == Kind::Logger;
    switch (column) {
    case MgrColName:
        return m_row.name;
    case MgrColType:
        return NodeType::Name(m_row.type);
    case MgrColRunState:
        return RunStateText();
    case MgrColLastConnect:
        return ListTexts::Time(m_live.lastConnectTime);
    case MgrColAlarmSetting:
        if (!logger)
            return {};
        if (AlarmSetting() == 0)
            return LoadStr(296); // 未设置
        return AlarmSetting() == kAlarmSet ? LoadStr(297) /* 已设置 */ : QString();
    case MgrColStartTime:
        return logger ? ListTexts::Time(m_row.startTime) : QString();
    case MgrColStopTime:
        return logger ? StopTimeText() : QString();
    case MgrColInterval:
        return logger ? ListTexts::Interval(m_row.sampleCap) : QString();
    case MgrColCh1Alarm:
        return AlarmText(1);
    case MgrColCh2Alarm:
        return AlarmText(2);
    case MgrColExtAddress:
        return m_row.extaddress;
    case MgrColId:
        return QString::number(m_row.id);
    default:
        return {};
    }
}

QString ManagerCells::AccessibleText(int column) const
{
    if (column == MgrColRf)
        return Rf() == RfPicture::None ? QString() : QString::number(m_live.rfLevel);
    if (column == MgrColPower)
        return Power() == PowerPicture::None ? QString() : QString::number(int(Power()));
    return Text(column);
}

QString ManagerCells::RunStateText() const
{
    switch (KindOf(m_row.type)) {
    case Kind::Receiver:
    case Kind::Router:
        return RunState() == 1 ? LoadStr(271) /* 已连接 */ : QString();
    case Kind::Logger: {
        if (const int fault = FaultTextId(m_live.faultFlags))
            return LoadStr(fault);
        static constexpr std::array<int, 3> kStateIds{272 /* 未启动 */, 274 /* 预启动 */, 273 /* 已启动 */};
        return RunState() < kRunUnknown ? LoadStr(kStateIds[size_t(RunState())]) : QString();
    }
    case Kind::Other:
        break;
    }
    return {};
}

// A stop time is shown only for a finished recording: both times set, in order, and the
// logger neither armed nor recording.
QString ManagerCells::StopTimeText() const
{
    const bool finished = m_row.startTime != 0 && m_row.endTime != 0 && m_row.startTime < m_row.endTime &&
                          RunState() != 1 && RunState() != 2;
    return finished ? ListTexts::Time(m_row.endTime) : QString();
}

QString ManagerCells::AlarmText(int channel) const
{
    const bool shown = channel == 1 ? NodeType::HasChannel1(m_row.type) : NodeType::HasChannel2(m_row.type);
    if (!shown || AlarmSetting() != kAlarmSet)
        return {};
    if (channel == 1)
        return ListTexts::Limits(m_row.channel1_lower, m_row.channel1_upper, m_ch1Unit);
    return ListTexts::Limits(m_row.channel2_lower, m_row.channel2_upper, m_ch2Unit);
}

StatePicture ManagerCells::State() const
{
    const bool connected = RunState() == 1;
    switch (KindOf(m_row.type)) {
    case Kind::Receiver:
        return connected ? StatePicture::ReceiverConnected : StatePicture::ReceiverOther;
    case Kind::Router:
        return connected ? StatePicture::RouterConnected : StatePicture::RouterOther;
    case Kind::Logger:
        return RunState() == kRunUnknown ? StatePicture::LoggerUnknown : StatePicture::LoggerKnown;
    case Kind::Other:
        break;
    }
    return StatePicture::None;
}

RfPicture ManagerCells::Rf() const
{
    const Kind kind = KindOf(m_row.type);
    if ((kind != Kind::Router && kind != Kind::Logger) || m_live.rfLevel == kUnknownRf)
        return RfPicture::None;
    const int rf = m_live.rfLevel;
    if (rf > -60)
        return RfPicture::Rf4;
    if (rf > -75)
        return RfPicture::Rf3;
    return rf > -85 ? RfPicture::Rf2 : RfPicture::Rf1;
}

PowerPicture ManagerCells::Power() const
{
    if (KindOf(m_row.type) != Kind::Logger || m_live.powerLevel == 0)
        return PowerPicture::None;
    // Any other non-zero level shows the lowest step.
    return m_live.powerLevel <= 5 ? PowerPicture(m_live.powerLevel) : PowerPicture::Power1;
}

QColor ManagerCells::RowColour() const
{
    return NodeRowColour(m_row.type, m_live.status);
}

QColor NodeRowColour(quint8 type, quint8 status)
{
    const Kind kind = KindOf(type);
    const int runState = status & 0x03;
    if ((kind == Kind::Receiver || kind == Kind::Router) && runState == 1)
        return {0xAA, 0x1E, 0xFA};
    if (kind == Kind::Logger && runState != kRunUnknown)
        return {0x1E, 0x82, 0x14};
    return Qt::black;
}

int ManagerColumnTitleId(int column)
{
    return column >= 0 && column < MgrColumnCount ? kColumns[size_t(column)].titleId : 0;
}

QString ManagerColumnKey(int column)
{
    return column >= 0 && column < MgrColumnCount ? QString::fromLatin1(kColumns[size_t(column)].key)
                                                  : QString();
}
