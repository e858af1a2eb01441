#include "views/CFormviewImme.h"

#include "views/CImmeDialogs.h"
#include "views/CImmePages.h"
#include "views/ListViewHelpers.h"
#include "views/core/ImmeCells.h"
#include "views/core/ImmeRules.h"

#include "base/NodeType.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "messages/ui/MessageBoxPrompt.h"
#include "network/BeeNodeItem.h"
#include "network/CCorvaneBeeNode.h"
#include "storage/CCorvaneODBC.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Column widths of the list; the values are as wide as their titles in the 8-bit encoding and
// the id column is hidden.
int ColumnWidth(int column)
{
    switch (column) {
    case RtColCheck:
        return 55;
    case RtColName:
    case RtColInterval:
        return 80;
    case RtColTime:
        return 140;
    case RtColCh1:
    case RtColCh2:
        return int(7.5 * CCorvaneODBC::LegacyByteLength(LoadStr(ImmeCells::ColumnTitleId(column))) + 5);
    case RtColState:
        return 500;
    default:
        return 0;
    }
}

constexpr int kCurvePage = 156; // 曲线
constexpr int kDataPage = 157;  // 数据

} // namespace

CFormviewImme::CFormviewImme(CCorvaneBeeNode &table, CCorvaneODBC &database, Submitter submit,
                             Canceller cancel, IUserPrompt *prompt, QWidget *parent)
    : QWidget(parent), m_table(table), m_database(database), m_submit(std::move(submit)),
      m_cancel(std::move(cancel)), m_ownPrompt(prompt ? nullptr : std::make_unique<CMessageBoxPrompt>()),
      m_prompt(prompt ? prompt : m_ownPrompt.get()),
      m_model(std::make_unique<CImmeListModel>(table, database))
{
    setObjectName(QStringLiteral("CFormviewImme"));
    BuildLayout();
}

CFormviewImme::~CFormviewImme() = default;

void CFormviewImme::BuildLayout()
{
    m_list = ListViewHelpers::MakeNodeList(*m_model, "list1050", LoadStr(Sid::MainViewRealtime), &ColumnWidth,
                                           RtColId, RtColCheck, this);
    connect(m_list, &QTableView::doubleClicked, this, [this] { ShowNode(m_model->IdAt(LastSelectedRow())); });
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (m_list->indexAt(pos).isValid()) {
            QMenu menu(this);
            menu.addAction(LoadStr(Sid::RtShowData)); // no action of its own
            menu.exec(m_list->viewport()->mapToGlobal(pos));
        }
    });

    m_pages = new QTabWidget(this);
    m_pages->setObjectName(QStringLiteral("tab1065"));
    m_curve = new CImmeCurve(m_table, m_pages);
    m_text = new CImmeText(m_table, m_pages);
    m_pages->addTab(m_curve, LoadStr(kCurvePage));
    m_pages->addTab(m_text, LoadStr(kDataPage));

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    auto *bottom = new QHBoxLayout;
    auto *side = new QVBoxLayout;
    side->addWidget(BuildPanel());
    side->addWidget(BuildButtons());
    side->addStretch();
    bottom->addLayout(side);
    bottom->addWidget(m_pages, 1);
    layout->addLayout(bottom, 1);
}

QWidget *CFormviewImme::BuildPanel()
{
    auto *panel = new QGroupBox(LoadStr(Sid::RtInfoGroup), this);
    auto *grid = new QGridLayout(panel);
    static constexpr std::array<int, PanelFieldCount> kLabels{Sid::LabelName,        Sid::LabelType,
                                                              Sid::LabelInterval,    Sid::LabelFixedId,
                                                              Sid::LabelFirstSample, Sid::LabelLastSample};
    for (int f = 0; f < PanelFieldCount; ++f) {
        auto *caption = new QLabel(LoadStr(kLabels[size_t(f)]), panel);
        m_panel[size_t(f)] = new QLabel(panel);
        m_panel[size_t(f)]->setObjectName(QStringLiteral("text%1").arg(1051 + f + (f >= First ? 8 : 0)));
        caption->setBuddy(m_panel[size_t(f)]);
        grid->addWidget(caption, f, 0);
        grid->addWidget(m_panel[size_t(f)], f, 1);
    }
    return panel;
}

QWidget *CFormviewImme::BuildButtons()
{
    auto *frame = new QGroupBox(this);
    auto *grid = new QGridLayout(frame);
    const auto add = [&](const char *name, int textId, bool enterClicks, void (CFormviewImme::*slot)(),
                         int row, int column) {
        auto *button = new QPushButton(LoadStr(textId), frame);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(enterClicks); // Enter clicks it while it has the focus
        connect(button, &QPushButton::clicked, this, slot);
        grid->addWidget(button, row, column);
    };
    add("btn1062", Sid::RtStart, true, &CFormviewImme::StartRealTime, 0, 0);
    add("btn1056", Sid::RtStop, true, &CFormviewImme::StopRealTime, 0, 1);
    add("btn1055", Sid::RtChangeInterval, true, &CFormviewImme::ChangeInterval, 1, 0);
    add("btn1219", Sid::RtFetchOne, false, &CFormviewImme::FetchOne, 1, 1);
    add("btn1220", Sid::CancelOperation, false, &CFormviewImme::CancelOperation, 2, 0);
    return frame;
}

QStringList CFormviewImme::PanelTexts() const
{
    QStringList texts;
    for (const QLabel *l : m_panel)
        texts << l->text();
    return texts;
}

int CFormviewImme::LastSelectedRow() const
{
    return ListViewHelpers::LastSelectedRow(*m_list);
}

void CFormviewImme::RefreshList()
{
    m_model->Reload();
}

void CFormviewImme::UpdateNode(int id)
{
    m_model->UpdateNode(id);
    if (id == m_shown)
        ShowNode(id);
}

void CFormviewImme::ShowNode(int id)
{
    const BeeNodeItem *live = m_table.Find(id);
    if (!live || m_database.SeekLookupNode(id) != 1)
        return;
    const ImmeCells::Panel p = ImmeCells::PanelOf(m_database.LookupCursor().Row(), *live);
    const std::array<QString, PanelFieldCount> texts{p.name,    p.type,      p.interval,
                                                     p.address, p.firstTime, p.lastTime};
    for (int f = 0; f < PanelFieldCount; ++f)
        m_panel[size_t(f)]->setText(texts[size_t(f)]);
    m_shown = id;
    m_curve->ShowNode(id);
    m_text->ShowNode(id);
}

std::vector<QStringList> CFormviewImme::CheckedCells() const
{
    std::vector<QStringList> rows;
    for (const int row : m_model->CheckedRows())
        rows.push_back({m_model->TextAt(row, RtColName), m_model->TextAt(row, RtColInterval)});
    return rows;
}

void CFormviewImme::Submit(int row, RequestKind kind, quint8 queuedState)
{
    const int id = m_model->IdAt(row);
    if (m_submit && m_submit(m_model.get(), kind, row) == 1)
        m_table.SetRtCmdState(id, queuedState);
    m_model->UpdateNode(id);
}

void CFormviewImme::StartRealTime()
{
    if (m_model->CheckedRows().empty())
        return;
    CImmeStartDlg dialog(CheckedCells(), this);
    if (m_prompt->RunModal(dialog) != QDialog::Accepted)
        return;
    for (const int row : m_model->CheckedRows())
        Submit(row, RequestKind::SetRealTime, ImmeRules::QueuedState(ImmeRules::Command::Start));
}

void CFormviewImme::StopRealTime()
{
    if (m_model->CheckedRows().empty())
        return;
    CImmeStopDlg dialog(CheckedCells(), this);
    if (m_prompt->RunModal(dialog) != QDialog::Accepted)
        return;
    for (const int row : m_model->CheckedRows()) {
        ImmeRules::PrepareStop(m_table, m_model->IdAt(row));
        Submit(row, RequestKind::SetRealTime, ImmeRules::QueuedState(ImmeRules::Command::Stop));
    }
}

void CFormviewImme::ChangeInterval()
{
    const int row = LastSelectedRow();
    const int id = m_model->IdAt(row);
    const BeeNodeItem *live = m_table.Find(id);
    if (!live || m_database.SeekLookupNode(id) != 1)
        return;
    const NodeRow node = m_database.LookupCursor().Row();
    CImmeSetupDlg dialog(node.name, NodeType::Name(node.type), node.extaddress, live->rtInterval, this);
    if (m_prompt->RunModal(dialog) == QDialog::Accepted && dialog.Mode() != 0)
        ApplyInterval(row, dialog.Interval(), dialog.Mode());
}

void CFormviewImme::ApplyInterval(int selectedRow, qint64 interval, int mode)
{
    std::vector<int> checked;
    for (const int row : m_model->CheckedRows())
        checked.push_back(m_model->IdAt(row));
    const int selected = m_model->IdAt(selectedRow);
    for (const int id :
         ImmeRules::ApplyInterval(m_table, ImmeRules::ApplyTargets(selected, checked, mode), interval)) {
        m_model->UpdateNode(id);
        if (id == selected)
            m_model->SetChecked(selectedRow, true);
    }
}

void CFormviewImme::FetchOne()
{
    const int row = LastSelectedRow();
    if (m_model->EntryAt(row))
        Submit(row, RequestKind::ReadRealTime, ImmeRules::QueuedState(ImmeRules::Command::Fetch));
}

void CFormviewImme::CancelOperation()
{
    const int row = LastSelectedRow();
    const auto *entry = m_model->EntryAt(row);
    if (!entry)
        return;
    const QString address = entry->row.extaddress;
    (void)ImmeRules::Cancel(m_table, entry->id, m_model->IsChecked(row), [this, &address](RequestKind kind) {
        return m_cancel && m_cancel(kind, address);
    });
    m_model->UpdateNode(entry->id);
}

void CFormviewImme::keyPressEvent(QKeyEvent *event)
{
    if (ListViewHelpers::IsSwallowedKey(*event))
        return;
    QWidget::keyPressEvent(event);
}
