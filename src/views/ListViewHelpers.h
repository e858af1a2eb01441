#pragma once

class QAbstractItemView;
class QKeyEvent;

// Small rules the node-list views share.
namespace ListViewHelpers {

// The highest selected row of the list; -1 when nothing is selected.
[[nodiscard]] int LastSelectedRow(const QAbstractItemView &list);
// True for Enter, Return and Escape: the views never close or act on them (a focused button
// takes Enter itself).
[[nodiscard]] bool IsSwallowedKey(const QKeyEvent &event);

} // namespace ListViewHelpers
