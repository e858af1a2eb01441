#pragma once

#include "views/core/CNodeListModel.h"

#include <QString>
#include <QtGlobal>

struct BeeNodeItem;
struct NodeRow;

// The columns of the logging command list, in order; the id column is the hidden key.
enum CommandColumn : int {
    CmdColCheck,
    CmdColName,
    CmdColRunState,
    CmdColStartTime,
    CmdColInterval,
    CmdColCh1Alarm,
    CmdColCh2Alarm,
    CmdColState,
    CmdColId,
    CmdColumnCount
};

// Texts of the logging command list: the pending recording parameters of a logger as they stand
// in its live record, and the progress of its logging command. Widget-free, shared by the
// view, corvane-cli and the tests.
namespace CommandCells {

// A logging command from state 2 to 19 is still pending.
[[nodiscard]] bool IsPending(quint8 logCmdState);
// Text of a logging command state (numbered texts from 319 on), empty above 30.
[[nodiscard]] QString StateText(quint8 logCmdState);
// Display text of a column; units are the node's channel unit texts.
[[nodiscard]] QString Text(const NodeRow &row, const BeeNodeItem &live, const QString &ch1Unit,
                           const QString &ch2Unit, int column);
// String id of a column title (0 for the check and id columns).
[[nodiscard]] int ColumnTitleId(int column);
// Key of a column in the command-line tool's JSON rows.
[[nodiscard]] QString ColumnKey(int column);

} // namespace CommandCells

// The logging command list: loggers only, the pending marker "*" in column 0, and the
// parameter source of start recording and write alarm for the link, read from the live records.
class CCommandListModel : public CNodeListModel {
    Q_OBJECT
public:
    using CNodeListModel::CNodeListModel;

    [[nodiscard]] QString TextAt(int row, int column) const;

    qint64 LogStartTime(int row) override;
    qint64 LogInterval(int row) override;
    quint8 AlarmMode(int row) override;
    float Ch1Lower(int row) override;
    float Ch1Upper(int row) override;
    float Ch2Lower(int row) override;
    float Ch2Upper(int row) override;

protected:
    [[nodiscard]] int ColumnCount() const override { return CmdColumnCount; }
    [[nodiscard]] QString HeaderText(int column) const override;
    [[nodiscard]] QVariant CellData(const Entry &entry, const BeeNodeItem &live, int column,
                                    int role) const override;
    [[nodiscard]] QString Marker(const BeeNodeItem &live) const override;
    [[nodiscard]] bool Lists(const NodeRow &row, const BeeNodeItem &live) const override;
};
