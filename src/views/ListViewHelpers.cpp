#include "views/ListViewHelpers.h"

#include "views/core/CNodeListModel.h"

#include <QAbstractItemView>
#include <QHeaderView>
#include <QItemSelectionModel>
#include <QKeyEvent>
#include <QTableView>

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

QTableView *MakeNodeList(CNodeListModel &model, const char *objectName, const QString &accessibleName,
                         const std::function<int(int)> &width, int idColumn, int checkColumn, QWidget *parent)
{
    auto *list = new QTableView(parent);
    list->setObjectName(QLatin1String(objectName));
    list->setAccessibleName(accessibleName);
    list->setModel(&model);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(20);
    for (int c = 0; c < model.columnCount(); ++c)
        list->setColumnWidth(c, width(c));
    list->setColumnHidden(idColumn, true);
    QObject::connect(list->horizontalHeader(), &QHeaderView::sectionClicked, &model,
                     [&model, checkColumn](int section) {
                         if (section == checkColumn)
                             model.ToggleAllChecks();
                     });
    return list;
}

} // namespace ListViewHelpers
