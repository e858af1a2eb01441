#pragma once

#include "views/core/CNodeListModel.h"

#include <QString>
#include <QtGlobal>

struct BeeNodeItem;
struct NodeRow;

// The columns of the download list, in order; the id column is the hidden key.
enum DownloadColumn : int { DlColCheck, DlColName, DlColPlan, DlColMode, DlColState, DlColId, DlColumnCount };

// Texts of the download list: a logger's download plan (node table), its download mode (live
// record) and the progress of its download. Widget-free, shared by the view, corvane-cli and
// the tests.
namespace DownloadCells {

// A download from state 2 to 14 is still pending.
[[nodiscard]] bool IsPending(quint8 downloadCmdState);
// Text of a download state (numbered texts from 298 on), empty above 20.
[[nodiscard]] QString StateText(quint8 downloadCmdState);
// "下载时间:每天 " " HH:MM:SS" for a daily plan, "下载时间:" " Y-M-D HH:MM:SS" for a single
// one, empty for no plan (or a plan without time).
[[nodiscard]] QString PlanText(quint8 planMode, qint64 planTime);
// "下载全部记录数据" for mode 0; for a range its two ends joined by "  -  ", each "?-?-? ?:?:?"
// while unset.
[[nodiscard]] QString ModeText(quint8 mode, qint64 from, qint64 to);
[[nodiscard]] QString Text(const NodeRow &row, const BeeNodeItem &live, int column);
// String id of a column title (0 for the check and id columns).
[[nodiscard]] int ColumnTitleId(int column);
// Key of a column in the command-line tool's JSON rows.
[[nodiscard]] QString ColumnKey(int column);

} // namespace DownloadCells

// The download list: loggers only, the pending marker "*" in column 0, and the parameter source
// of a download for the link (the mode and range of the live record).
class CDownloadListModel : public CNodeListModel {
    Q_OBJECT
public:
    using CNodeListModel::CNodeListModel;

    [[nodiscard]] QString TextAt(int row, int column) const;

    quint8 DownloadMode(int row) override;
    qint64 DownloadPlanFrom(int row) override;
    qint64 DownloadPlanTo(int row) override;

protected:
    [[nodiscard]] int ColumnCount() const override { return DlColumnCount; }
    [[nodiscard]] QString HeaderText(int column) const override;
    [[nodiscard]] QVariant CellData(const Entry &entry, const BeeNodeItem &live, int column,
                                    int role) const override;
    [[nodiscard]] QString Marker(const BeeNodeItem &live) const override;
    [[nodiscard]] bool Lists(const NodeRow &row, const BeeNodeItem &live) const override;
};
