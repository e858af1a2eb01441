#pragma once

#include "link/RequestKind.h"

#include <QtGlobal>

#include <functional>
#include <vector>

class CCorvaneBeeNode;

// The rules of the real-time commands, widget-free: what the interval picker offers, how a new
// interval is applied, what start, stop, fetch and cancel set in a node's live record. Shared by
// the view, corvane-cli and the tests.
namespace ImmeRules {

constexpr qint64 kDefaultInterval = 60; // 00:01:00 for a logger that reports nothing yet
constexpr quint8 kStateChanged = 3;     // "即时数据时间间隔重新设置": waits for a start
constexpr int kApplyOne = 1;            // the interval dialog's "应用"
constexpr int kApplyToChecked = 2;      // its "应用到所有选择项"

enum class Command { Start, Stop, Fetch };

// The request a command sends: the interval write (RTC) for start and stop, one read (GMD) for
// fetch.
[[nodiscard]] RequestKind KindOf(Command command);
// The state a queued request of the command sets (6, 10 or 14).
[[nodiscard]] quint8 QueuedState(Command command);
// The state the link handling sets when the command completed (21, 23 or 25).
[[nodiscard]] quint8 CompletedState(Command command);

// The span the interval picker starts at: the node's interval as hours modulo 24, minutes and
// seconds, or 00:01:00 when it has none.
[[nodiscard]] qint64 PickerStart(qint64 rtInterval);
// Marks the new interval on every node of the network table among ids (state 3, the interval
// the next start writes); nothing is sent. An interval of 0 or less changes nothing. Returns
// the ids changed.
[[nodiscard]] std::vector<int> ApplyInterval(CCorvaneBeeNode &table, const std::vector<int> &ids,
                                             qint64 interval);
// Before a stop is queued: the node reports nothing from now on and the write carries 0.
void PrepareStop(CCorvaneBeeNode &table, int id);
// The nodes a new interval is applied to: the selected one, and in mode 2 (apply to all
// checked) every checked one as well, each once.
[[nodiscard]] std::vector<int> ApplyTargets(int selected, const std::vector<int> &checked, int mode);
// Cancel operation on a node whose row is checked (else nothing happens): removes its queued
// interval write, then its queued read; removeQueued(kind) says whether one was removed. Sets
// and returns the state of the last kind removed (26 for an interval write, 27 when it was a
// stop, i.e. the interval to write is 0, 28 for a read); 0 when nothing was removed.
quint8 Cancel(CCorvaneBeeNode &table, int id, bool checked,
              const std::function<bool(RequestKind kind)> &removeQueued);

} // namespace ImmeRules
