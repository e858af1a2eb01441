#include "history/CHistoryText.h"

#include "base/StringTable.h"
#include "history/core/CHistoryTextModel.h"

#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

namespace {
constexpr int kColumnWidths[] = {40, 135, 150, 150};
}

CHistoryText::CHistoryText(const CNodeDataSave &store, QWidget *parent)
    : QWidget(parent), m_model(std::make_unique<CHistoryTextModel>(store))
{
    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("list1136"));
    m_list->setAccessibleName(LoadStr(203)); // 数据
    m_list->setModel(m_model.get());
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->verticalHeader()->hide();
    // Fixed row heights keep the view from measuring every row of a long range.
    m_list->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->verticalHeader()->setDefaultSectionSize(20);
    for (int c = 0; c < int(std::size(kColumnWidths)); ++c)
        m_list->setColumnWidth(c, kColumnWidths[c]);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}

CHistoryText::~CHistoryText()
{
    m_list->setModel(nullptr);
}

void CHistoryText::Refresh()
{
    m_model->Refresh();
}

void CHistoryText::MarkRow(int row)
{
    m_model->SetMarkedRow(row);
    if (m_model->MarkedRow() < 0)
        return;
    const QModelIndex cell = m_model->index(m_model->MarkedRow(), 0);
    m_list->selectRow(cell.row());
    m_list->scrollTo(cell, QAbstractItemView::PositionAtCenter);
}
