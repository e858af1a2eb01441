#include "views/ListViewHelpers.h"

#include <QAbstractItemView>
#include <QItemSelectionModel>
#include <QKeyEvent>

#include <algorithm>

namespace ListViewHelpers {

int LastSelectedRow(const QAbstractItemView &list)
{
    int last = -1;
    if (const QItemSelectionModel *selection = list.selectionModel()) {
        for (const QModelIndex &index : selection->selectedRows())
            last = std::max(last, index.row());
    }
    return last;
}

bool IsSwallowedKey(const QKeyEvent &event)
{
    const int key = event.key();
    return key == Qt::Key_Escape || key == Qt::Key_Return || key == Qt::Key_Enter;
}

} // namespace ListViewHelpers
