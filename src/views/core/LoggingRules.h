#pragma once

#include "link/RequestKind.h"

#include <QString>
#include <QtGlobal>

#include <functional>

class CCorvaneBeeNode;
struct NodeRow;

// The rules of the logging command panel, widget-free: what the limit edits accept and store,
// what the pickers show for a node, when a set of parameters may be applied, and how applying
// and cancelling change a node's live record. Shared by the view, corvane-cli and the tests.
namespace LoggingRules {

constexpr qint64 kDefaultInterval = 300; // 00:05:00 for a logger that has no interval yet
constexpr quint8 kAlarmOn = 4;
constexpr quint8 kStateApplied = 3; // "仪器参数重新设置"
// Message ids of a refused apply.
constexpr int kBadCh1Limits = 185; // 错误：通道1报警设置
constexpr int kBadCh2Limits = 186; // 错误：通道2报警设置

// A limit edit's text as it may stand: digits, one ".", and "-" only in the first place;
// everything else is deleted ("1-2..3" gives "12.3").
[[nodiscard]] QString FilterLimitText(const QString &text);
// The value a limit edit stands for, in °C or %RH: -2000.0 (no value) for an empty text; a
// number typed in °F (unit equal to the Fahrenheit text) is converted to °C; then clamped to
// 0..100 on a humidity channel and to -127..127 otherwise.
[[nodiscard]] float LimitValue(const QString &text, const QString &unit);
// The text a limit edit shows for a stored value: "%.2f", in °F for the Fahrenheit unit;
// empty for no value.
[[nodiscard]] QString LimitText(float value, const QString &unit);
// A limit the panel offers: the pending one of the live record, else the node table's.
[[nodiscard]] float OfferedLimit(float pending, float stored);

// The start time the panel offers: the pending one when it lies ahead, else now.
[[nodiscard]] qint64 OfferedStartTime(qint64 pending, qint64 now);
// The interval the panel offers: the pending one, else the node table's, else 00:05:00.
[[nodiscard]] qint64 OfferedInterval(qint64 pending, qint32 stored);
// An interval picker shows hours modulo 24, minutes and seconds; this is the interval it gives
// back.
[[nodiscard]] qint64 PickerInterval(qint64 seconds);

// What apply writes into a node's live record.
struct Parameters {
    qint64 startTime = 0;
    qint64 interval = 0;
    bool alarm = false;
    float ch1Lower = -2000.0f;
    float ch1Upper = -2000.0f;
    float ch2Lower = -2000.0f;
    float ch2Upper = -2000.0f;
};

// 0 when the parameters may be applied to a node of that type; else the message id: with the
// alarm on, a lower limit not below its upper limit (two empty edits included) on channel 1 of
// a logger, or on channel 2 of a node that has one.
[[nodiscard]] int CheckLimits(const Parameters &parameters, quint8 type);
// Applies the parameters to the node's live record and marks them changed (state 3); with the
// alarm off the four limits become no value. Returns 0, the message id of a refusal (nothing
// changes), or -1 when the node is not in the network table.
[[nodiscard]] int Apply(CCorvaneBeeNode &table, int id, const Parameters &parameters);

// Cancel operation: removes the node's queued start, stop and alarm requests in that order;
// removeQueued(kind) says whether one was removed. Returns the state of the last kind removed
// (26, 27 or 28), 0 when nothing was queued.
[[nodiscard]] quint8 CancelState(const std::function<bool(RequestKind kind)> &removeQueued);
// The state a queued request of that kind sets (6, 10 or 14; 0 for other kinds).
[[nodiscard]] quint8 QueuedState(RequestKind kind);
// The state the link handling sets when a request of that kind completed (21, 23 or 25).
[[nodiscard]] quint8 CompletedState(RequestKind kind);

} // namespace LoggingRules
