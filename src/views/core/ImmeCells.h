#pragma once

#include "views/core/CNodeListModel.h"

#include <QString>
#include <QtGlobal>

struct BeeNodeItem;
struct NodeRow;

// The columns of the real-time list, in order; the id column is the hidden key.
enum ImmeColumn : int {
    RtColCheck,
    RtColName,
    RtColTime,
    RtColCh1,
    RtColCh2,
    RtColInterval,
    RtColState,
    RtColId,
    RtColumnCount
};

// Texts of the real-time list and of its information panel: a logger's newest real-time
// sample, its reporting interval and the progress of its real-time command. Widget-free,
// shared by the view, corvane-cli and the tests.
namespace ImmeCells {

// A real-time command from state 2 to 19 is still pending.
[[nodiscard]] bool IsPending(quint8 rtCmdState);
// Text of a real-time command state (numbered texts from 350 on), empty above 30.
[[nodiscard]] QString StateText(quint8 rtCmdState);
// A sample value with its unit; empty at or below -1000.0 (the logger's "no reading").
[[nodiscard]] QString ValueText(float value, const QString &unit);
// The interval column: the interval to be written followed by "*" while a command is pending,
// else the interval the logger uses.
[[nodiscard]] QString IntervalText(const BeeNodeItem &live);
// Display text of a column; units are the node's channel unit texts.
[[nodiscard]] QString Text(const NodeRow &row, const BeeNodeItem &live, const QString &ch1Unit,
                           const QString &ch2Unit, int column);
// String id of a column title (0 for the check and id columns).
[[nodiscard]] int ColumnTitleId(int column);
// Key of a column in the command-line tool's JSON rows.
[[nodiscard]] QString ColumnKey(int column);

// The information panel of the logger shown.
struct Panel {
    QString name;
    QString type;
    QString interval; // "00:00:00" when the logger reports nothing
    QString address;
    QString firstTime; // the oldest sample held
    QString lastTime;  // the newest sample held
};
[[nodiscard]] Panel PanelOf(const NodeRow &row, const BeeNodeItem &live);

} // namespace ImmeCells

// The real-time list: loggers only, the pending marker "*" in column 0, and the interval the
// real-time command writes for the link.
class CImmeListModel : public CNodeListModel {
    Q_OBJECT
public:
    using CNodeListModel::CNodeListModel;

    [[nodiscard]] QString TextAt(int row, int column) const;

    qint64 RtInterval(int row) override;

protected:
    [[nodiscard]] int ColumnCount() const override { return RtColumnCount; }
    [[nodiscard]] QString HeaderText(int column) const override;
    [[nodiscard]] QVariant CellData(const Entry &entry, const BeeNodeItem &live, int column,
                                    int role) const override;
    [[nodiscard]] QString Marker(const BeeNodeItem &live) const override;
    [[nodiscard]] bool Lists(const NodeRow &row, const BeeNodeItem &live) const override;
};
