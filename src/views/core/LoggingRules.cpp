#include "views/core/LoggingRules.h"

#include "base/AppSettings.h"
#include "base/NodeType.h"
#include "base/ValueFormat.h"
#include "network/CCorvaneBeeNode.h"

#include <algorithm>
#include <array>

namespace LoggingRules {

QString FilterLimitText(const QString &text)
{
    QString out;
    bool dot = false;
    for (int i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size()) {
            ++i; // a character outside the basic plane is deleted whole
            continue;
        }
        if ((c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c == QLatin1Char('-') && i == 0))
            out += c;
        else if (c == QLatin1Char('.') && !dot) {
            out += c;
            dot = true;
        }
    }
    return out;
}

float LimitValue(const QString &text, const QString &unit)
{
    if (text.isEmpty())
        return kNoValue;
    const AppSettings &settings = AppSettings::Instance();
    double value = text.toDouble(); // "-" or "." alone read as 0
    if (unit == settings.FahrenheitText())
        value = (value - 32.0) / 1.8;
    const bool humidity = unit == settings.HumidityText();
    return float(std::clamp(value, humidity ? 0.0 : -127.0, humidity ? 100.0 : 127.0));
}

QString LimitText(float value, const QString &unit)
{
    if (IsNoValue(value))
        return {};
    return FormatValue(value, unit).chopped(int(unit.size()));
}

float OfferedLimit(float pending, float stored)
{
    return IsNoValue(pending) ? stored : pending;
}

qint64 OfferedStartTime(qint64 pending, qint64 now)
{
    return pending != 0 && pending > now ? pending : now;
}

qint64 OfferedInterval(qint64 pending, qint32 stored)
{
    if (pending != 0)
        return pending;
    return stored != 0 ? stored : kDefaultInterval;
}

qint64 PickerInterval(qint64 seconds)
{
    return (seconds / 3600 % 24) * 3600 + seconds % 3600;
}

int CheckLimits(const Parameters &parameters, quint8 type)
{
    if (!parameters.alarm)
        return 0;
    if (NodeType::HasChannel1(type) && parameters.ch1Lower >= parameters.ch1Upper)
        return kBadCh1Limits;
    if (NodeType::HasChannel2(type) && parameters.ch2Lower >= parameters.ch2Upper)
        return kBadCh2Limits;
    return 0;
}

int Apply(CCorvaneBeeNode &table, int id, const Parameters &parameters)
{
    const BeeNodeItem *item = table.Find(id);
    if (!item)
        return -1;
    if (const int refusal = CheckLimits(parameters, item->type))
        return refusal;
    table.SetLogStartTime(id, parameters.startTime);
    table.SetLogInterval(id, parameters.interval);
    table.SetAlarmEnable(id, parameters.alarm ? kAlarmOn : 0);
    table.SetDevCh1Upper(id, parameters.alarm ? parameters.ch1Upper : kNoValue);
    table.SetDevCh1Lower(id, parameters.alarm ? parameters.ch1Lower : kNoValue);
    table.SetDevCh2Upper(id, parameters.alarm ? parameters.ch2Upper : kNoValue);
    table.SetDevCh2Lower(id, parameters.alarm ? parameters.ch2Lower : kNoValue);
    table.SetLogCmdState(id, kStateApplied);
    return 0;
}

namespace {

// Progress codes of each request kind of the view: queued (set by the view), completed (set by
// the link handling) and cancelled.
struct KindStates {
    RequestKind kind;
    quint8 queued;
    quint8 completed;
    quint8 cancelled;
};
constexpr std::array<KindStates, 3> kKindStates{{
    {RequestKind::StartLogging, 6, 21, 26},
    {RequestKind::StopLogging, 10, 23, 27},
    {RequestKind::SetAlarm, 14, 25, 28},
}};

const KindStates *StatesOf(RequestKind kind)
{
    for (const KindStates &k : kKindStates) {
        if (k.kind == kind)
            return &k;
    }
    return nullptr;
}

} // namespace

quint8 CancelState(const std::function<bool(RequestKind kind)> &removeQueued)
{
    quint8 state = 0;
    for (const KindStates &k : kKindStates) {
        if (removeQueued(k.kind))
            state = k.cancelled;
    }
    return state;
}

quint8 QueuedState(RequestKind kind)
{
    const KindStates *k = StatesOf(kind);
    return k ? k->queued : 0;
}

quint8 CompletedState(RequestKind kind)
{
    const KindStates *k = StatesOf(kind);
    return k ? k->completed : 0;
}

} // namespace LoggingRules
