#include "views/CImmePages.h"

#include "views/core/CImmeTextModel.h"
#include "views/core/CurveSamples.h"

#include "network/BeeNodeItem.h"
#include "network/CCorvaneBeeNode.h"

#include <QHeaderView>
#include <QTableView>
#include <QVBoxLayout>

CImmeCurve::CImmeCurve(CCorvaneBeeNode &table, QWidget *parent)
    : CurvePlotPage(Kind::RealTime, parent), m_table(table)
{
    setObjectName(QStringLiteral("CImmeCurve"));
}

void CImmeCurve::ShowNode(int id)
{
    const BeeNodeItem *live = m_table.Find(id);
    if (!live)
        return;
    if (id != m_id) {
        m_id = id;
        SetDevice(live->type, m_table.Ch1UnitText(id), m_table.Ch2UnitText(id));
    }
    SetSamples(CurveSamples::FromRing(*live));
}

CImmeText::CImmeText(CCorvaneBeeNode &table, QWidget *parent)
    : QWidget(parent), m_model(std::make_unique<CImmeTextModel>(table))
{
    setObjectName(QStringLiteral("CImmeText"));
    m_list = new QTableView(this);
    m_list->setObjectName(QStringLiteral("list1066"));
    m_list->setModel(m_model.get());
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_list->verticalHeader()->hide();
    m_list->verticalHeader()->setDefaultSectionSize(20);
    const int widths[] = {40, 130, 115, 115};
    for (int c = 0; c < CImmeTextModel::ColumnCount; ++c)
        m_list->setColumnWidth(c, widths[c]);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
}

CImmeText::~CImmeText() = default;

void CImmeText::ShowNode(int id)
{
    m_model->Show(id);
}
