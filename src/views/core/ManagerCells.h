#pragma once

#include <QColor>
#include <QString>

struct BeeNodeItem;
struct NodeRow;

// The columns of the instrument management list, in order. Column 0 carries the check box, the
// state picture and the running number; the id column is the hidden key.
enum ManagerColumn : int {
    MgrColCheck,
    MgrColName,
    MgrColType,
    MgrColRunState,
    MgrColLastConnect,
    MgrColAlarmSetting,
    MgrColRf,
    MgrColPower,
    MgrColStartTime,
    MgrColStopTime,
    MgrColInterval,
    MgrColCh1Alarm,
    MgrColCh2Alarm,
    MgrColExtAddress,
    MgrColId,
    MgrColumnCount
};

// Picture of column 0 by kind and run state.
enum class StatePicture {
    None,
    ReceiverConnected,
    ReceiverOther,
    RouterConnected,
    RouterOther,
    LoggerKnown,
    LoggerUnknown
};
// Signal in four steps, weakest first; None for an unknown level (50).
enum class RfPicture { None, Rf1, Rf2, Rf3, Rf4 };
// Battery in five steps; None for an unknown level (0).
enum class PowerPicture { None, Power1, Power2, Power3, Power4, Power5 };

// What one row of the management list shows for a node: the node-table row gives names, type,
// times, interval and limits, the live record run state, alarm setting, faults, signal,
// battery, last connection and channel units. Widget-free, so the command-line tool and the
// tests use the same texts as the window.
class ManagerCells {
public:
    // units: the channel unit texts of the node (empty for a channel it does not have).
    ManagerCells(const NodeRow &row, const BeeNodeItem &live, QString ch1Unit, QString ch2Unit);

    // Display text of a column; the picture columns (RF, power) have none.
    [[nodiscard]] QString Text(int column) const;
    // Text a screen reader gives a picture cell: the level in dBm or the battery step; the
    // display text elsewhere.
    [[nodiscard]] QString AccessibleText(int column) const;
    [[nodiscard]] StatePicture State() const;
    [[nodiscard]] RfPicture Rf() const;
    [[nodiscard]] PowerPicture Power() const;
    // Connected receiver or router: purple-blue; a logger in a known run state: green; else black.
    [[nodiscard]] QColor RowColour() const;

    [[nodiscard]] int RunState() const;
    [[nodiscard]] int AlarmSetting() const;

private:
    [[nodiscard]] QString RunStateText() const;
    [[nodiscard]] QString StopTimeText() const;
    [[nodiscard]] QString AlarmText(int channel) const;

    const NodeRow &m_row;
    const BeeNodeItem &m_live;
    QString m_ch1Unit;
    QString m_ch2Unit;
};

// The row colour of the node lists: a connected receiver or router purple-blue, a logger in a
// known run state green, anything else black.
[[nodiscard]] QColor NodeRowColour(quint8 type, quint8 status);

// String id of a column title (0 for the untitled id column, the check column's "@" included).
[[nodiscard]] int ManagerColumnTitleId(int column);
// Key of a column in the command-line tool's JSON rows.
[[nodiscard]] QString ManagerColumnKey(int column);
