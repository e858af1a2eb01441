#pragma once

#include <QString>

#include <functional>

class CNodeListModel;
class QAbstractItemView;
class QKeyEvent;
class QTableView;
class QWidget;

// Small rules the node-list views share.
namespace ListViewHelpers {

// The highest selected row of the list; -1 when nothing is selected.
[[nodiscard]] int LastSelectedRow(const QAbstractItemView &list);
// True for Enter, Return and Escape: the views never close or act on them (a focused button
// takes Enter itself).
[[nodiscard]] bool IsSwallowedKey(const QKeyEvent &event);

// The node list of a view over its model: whole rows selected, several at once, read only,
// 20-pixel rows without row headers, each column as wide as width(column), the id column
// hidden; a click on the check column's header toggles every check box.
[[nodiscard]] QTableView *MakeNodeList(CNodeListModel &model, const char *objectName,
                                       const QString &accessibleName, const std::function<int(int)> &width,
                                       int idColumn, int checkColumn, QWidget *parent);

} // namespace ListViewHelpers
