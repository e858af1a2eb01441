#include "views/CFormviewDownload.h"
#include "views/ListViewHelpers.h"

#include "views/CCommandDialogs.h"
#include "views/PickerTime.h"
#include "views/core/DownloadCells.h"
#include "views/core/DownloadPlans.h"

#include "base/CvTime.h"
#include "base/NodeType.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "messages/ui/MessageBoxPrompt.h"
#include "network/CCorvaneBeeNode.h"
#include "storage/CCorvaneODBC.h"

#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kColumnWidths[DlColumnCount] = {55, 80, 200, 270, 500, 0};

// Checks one radio button of a group, or none (-1).
void CheckRadio(QRadioButton *const *radios, int count, int which)
{
    for (int i = 0; i < count; ++i) {
        radios[i]->setAutoExclusive(false);
        radios[i]->setChecked(i == which);
        radios[i]->setAutoExclusive(true);
    }
}

} // namespace

CFormviewDownload::CFormviewDownload(CCorvaneBeeNode &table, CCorvaneODBC &database, Submitter submit,
                                     Canceller cancel, IUserPrompt *prompt, QWidget *parent)
    : QWidget(parent), m_table(table), m_database(database), m_submit(std::move(submit)),
      m_cancel(std::move(cancel)), m_ownPrompt(prompt ? nullptr : std::make_unique<CMessageBoxPrompt>()),
      m_prompt(prompt ? prompt : m_ownPrompt.get()), m_clock(&CvTime::Now),
      m_model(std::make_unique<CDownloadListModel>(table, database))
{
    setObjectName(QStringLiteral("CFormviewDownload"));
    m_planner = std::make_unique<DownloadPlanner>(table, database, [this](int id) {
        const int row = m_model->RowOf(id);
        return row >= 0 && m_submit && m_submit(m_model.get(), RequestKind::Download, row) == 1;
    });
    connect(m_planner.get(), &DownloadPlanner::planFired, this, &CFormviewDownload::UpdateNode);
    BuildLayout();
    FillPanel();
}

CFormviewDownload::~CFormviewDownload() = default;

void CFormviewDownload::SetClock(std::function<qint64()> clock)
{
    m_clock = clock;
    m_planner->SetClock(std::move(clock));
}

QPushButton *CFormviewDownload::MakeButton(const char *objectName, int textId, bool enterClicks)
{
    auto *button = new QPushButton(LoadStr(textId), this);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(enterClicks); // Enter clicks it while it has the focus
    return button;
}

QRadioButton *CFormviewDownload::MakeRadio(const char *objectName, int textId)
{
    auto *radio = new QRadioButton(LoadStr(textId), this);
    radio->setObjectName(QLatin1String(objectName));
    return radio;
}

QDateTimeEdit *CFormviewDownload::MakePicker(const char *objectName, const QString &format)
{
    auto *picker = new QDateTimeEdit(this);
    picker->setObjectName(QLatin1String(objectName));
    picker->setDisplayFormat(format);
    return picker;
}

void CFormviewDownload::BuildLayout()
{
    m_list = ListViewHelpers::MakeNodeList(
        *m_model, "list1113", LoadStr(Sid::MainViewDownload), [](int c) { return kColumnWidths[c]; }, DlColId,
        DlColCheck, this);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CFormviewDownload::SelectionChanged);

    QPushButton *download = MakeButton("btn1118", Sid::DlDownload, true);
    QPushButton *cancel = MakeButton("btn1122", Sid::DlCancel, true);
    connect(download, &QPushButton::clicked, this, &CFormviewDownload::Download);
    connect(cancel, &QPushButton::clicked, this, &CFormviewDownload::CancelDownload);
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(download);
    buttons->addWidget(cancel);
    buttons->addStretch(1);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(BuildPanel(), 1);
    bottom->addLayout(buttons);
    layout->addLayout(bottom);
}

QWidget *CFormviewDownload::BuildPanel()
{
    auto *panel = new QGroupBox(LoadStr(Sid::DlGroup), this);
    auto *grid = new QGridLayout(panel);
    m_name = new QLabel(panel);
    m_type = new QLabel(panel);
    m_address = new QLabel(panel);
    int column = 0;
    for (const auto &[textId, field] : {std::pair<int, QLabel *>{Sid::LabelName, m_name},
                                        {Sid::LabelType, m_type},
                                        {Sid::LabelFixedId, m_address}}) {
        auto *caption = new QLabel(LoadStr(textId), panel);
        caption->setBuddy(field);
        grid->addWidget(caption, 0, column++);
        grid->addWidget(field, 0, column++);
    }

    auto *plan = new QGroupBox(LoadStr(Sid::DlPlanGroup), panel);
    auto *planGrid = new QGridLayout(plan);
    m_planRadios[0] = MakeRadio("radio1108", Sid::DlPlanNone);
    m_planRadios[1] = MakeRadio("radio1109", Sid::DlPlanDaily);
    m_planRadios[2] = MakeRadio("radio1110", Sid::DlPlanOnce);
    m_daily = MakePicker("picker1111", QStringLiteral("HH:mm:ss"));
    m_once = MakePicker("picker1112", QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_daily->setAccessibleName(LoadStr(Sid::DlPlanDaily));
    m_once->setAccessibleName(LoadStr(Sid::DlPlanOnce));
    m_setPlan = MakeButton("btn1117", Sid::DlSetPlan, true);
    for (int i = 0; i < 3; ++i) {
        m_planRadios[i]->setParent(plan);
        planGrid->addWidget(m_planRadios[i], i, 0);
        connect(m_planRadios[i], &QRadioButton::clicked, this, [this, i] { PlanChosen(i); });
    }
    planGrid->addWidget(m_daily, 1, 1);
    planGrid->addWidget(m_once, 2, 1);
    planGrid->addWidget(m_setPlan, 3, 1);
    connect(m_setPlan, &QPushButton::clicked, this, &CFormviewDownload::SetPlan);

    auto *mode = new QGroupBox(LoadStr(Sid::DlModeGroup), panel);
    auto *modeGrid = new QGridLayout(mode);
    m_modeRadios[0] = MakeRadio("radio1170", Sid::DlModeAll);
    m_modeRadios[1] = MakeRadio("radio1171", Sid::DlModeRange);
    m_from = MakePicker("picker1172", QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_to = MakePicker("picker1173", QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_from->setAccessibleName(LoadStr(Sid::DlFrom));
    m_to->setAccessibleName(LoadStr(Sid::DlTo));
    m_setMode = MakeButton("btn1174", Sid::DlSetMode);
    for (int i = 0; i < 2; ++i) {
        m_modeRadios[i]->setParent(mode);
        modeGrid->addWidget(m_modeRadios[i], i, 0, 1, 2);
        connect(m_modeRadios[i], &QRadioButton::clicked, this, [this, i] { ModeChosen(i); });
    }
    modeGrid->addWidget(new QLabel(LoadStr(Sid::DlFrom), mode), 2, 0);
    modeGrid->addWidget(m_from, 2, 1);
    modeGrid->addWidget(new QLabel(LoadStr(Sid::DlTo), mode), 3, 0);
    modeGrid->addWidget(m_to, 3, 1);
    modeGrid->addWidget(m_setMode, 4, 1);
    connect(m_setMode, &QPushButton::clicked, this, &CFormviewDownload::SetMode);

    grid->addWidget(plan, 1, 0, 1, 3);
    grid->addWidget(mode, 1, 3, 1, 3);
    return panel;
}

void CFormviewDownload::keyPressEvent(QKeyEvent *event)
{
    if (ListViewHelpers::IsSwallowedKey(*event))
        return;
    QWidget::keyPressEvent(event);
}

void CFormviewDownload::RefreshList()
{
    m_model->Reload();
    m_planner->ArmAll();
    m_list->clearSelection();
    m_selected = -1;
    FillPanel();
}

void CFormviewDownload::UpdateNode(int id)
{
    m_model->UpdateNode(id);
    m_planner->NodeUpdated(id);
}

int CFormviewDownload::LastSelectedRow() const
{
    return ListViewHelpers::LastSelectedRow(*m_list);
}

void CFormviewDownload::SelectionChanged()
{
    m_selected = m_model->IdAt(LastSelectedRow());
    FillPanel();
}

void CFormviewDownload::PlanChosen(int plan)
{
    m_plan = plan;
    m_daily->setEnabled(plan == DownloadPlans::Daily);
    m_once->setEnabled(plan == DownloadPlans::Once);
}

void CFormviewDownload::ModeChosen(int mode)
{
    m_mode = mode;
    m_from->setEnabled(mode == 1);
    m_to->setEnabled(mode == 1);
}

void CFormviewDownload::FillPanel()
{
    const BeeNodeItem *live = m_table.Find(m_selected);
    const bool logger = live && m_database.SeekLookupNode(m_selected) == 1 &&
                        NodeType::HasChannel1(m_database.LookupCursor().Row().type);
    const NodeRow row = logger ? m_database.LookupCursor().Row() : NodeRow{};
    const QDateTime now = PickerTime::ToPicker(m_clock());
    m_name->setText(row.name);
    m_type->setText(logger ? NodeType::Name(row.type) : QString());
    m_address->setText(row.extaddress);

    const int plan = row.downloadplanmode <= DownloadPlans::Once ? row.downloadplanmode : 0;
    CheckRadio(m_planRadios, 3, logger ? plan : -1);
    PlanChosen(logger ? plan : -1);
    m_daily->setDateTime(plan == DownloadPlans::Daily ? PickerTime::ToPicker(row.downloadplantime) : now);
    m_once->setDateTime(plan == DownloadPlans::Once ? PickerTime::ToPicker(row.downloadplantime) : now);
    m_setPlan->setEnabled(logger);

    const int mode = logger && live->downloadPlanMode == 1 ? 1 : 0;
    CheckRadio(m_modeRadios, 2, logger ? mode : -1);
    ModeChosen(logger ? mode : -1);
    m_from->setDateTime(mode == 1 ? PickerTime::ToPicker(live->downloadPlanFrom) : now);
    m_to->setDateTime(mode == 1 ? PickerTime::ToPicker(live->downloadPlanTo) : now);
    m_setMode->setEnabled(logger);
    for (QRadioButton *r :
         {m_planRadios[0], m_planRadios[1], m_planRadios[2], m_modeRadios[0], m_modeRadios[1]})
        r->setEnabled(logger);
}

void CFormviewDownload::SetPlan()
{
    qint64 time = 0;
    if (m_plan == DownloadPlans::Daily)
        time = PickerTime::FromPicker(m_daily->dateTime());
    else if (m_plan == DownloadPlans::Once)
        time = PickerTime::FromPicker(m_once->dateTime());
    if (const int refusal = DownloadPlans::CheckPlan(quint8(m_plan), time, m_clock())) {
        m_prompt->ShowError(this, {}, LoadStr(refusal));
        return;
    }
    if (DownloadPlans::SavePlan(m_database, m_selected, quint8(m_plan), time))
        UpdateNode(m_selected);
}

void CFormviewDownload::SetMode()
{
    const qint64 from = m_mode == 1 ? PickerTime::FromPicker(m_from->dateTime()) : 0;
    const qint64 to = m_mode == 1 ? PickerTime::FromPicker(m_to->dateTime()) : 0;
    if (const int refusal = DownloadPlans::CheckRange(quint8(m_mode), from, to)) {
        m_prompt->ShowError(this, {}, LoadStr(refusal));
        return;
    }
    if (!m_table.Find(m_selected))
        return;
    DownloadPlans::SetMode(m_table, m_selected, quint8(m_mode), from, to);
    UpdateNode(m_selected);
}

void CFormviewDownload::Download()
{
    const std::vector<int> rows = m_model->CheckedRows();
    if (rows.empty())
        return;
    std::vector<QStringList> cells;
    for (const int row : rows)
        cells.push_back({m_model->TextAt(row, DlColName), m_model->TextAt(row, DlColMode)});
    CDownloadStartDlg dialog(cells, this);
    if (m_prompt->RunModal(dialog) != QDialog::Accepted)
        return;
    for (const int row : rows) {
        const int id = m_model->IdAt(row);
        if (m_submit && m_submit(m_model.get(), RequestKind::Download, row) == 1) {
            m_table.SetDownloadCmdState(id, DownloadPlans::kStateStarted);
            UpdateNode(id);
        }
    }
}

void CFormviewDownload::CancelDownload()
{
    const int row = LastSelectedRow();
    const auto *entry = m_model->EntryAt(row);
    if (!entry || m_database.SeekLookupNode(entry->id) != 1)
        return;
    const QString address = m_database.LookupCursor().Row().extaddress;
    if (m_cancel && m_cancel(RequestKind::Download, address))
        m_table.SetDownloadCmdState(entry->id, DownloadPlans::kStateCancelled);
    UpdateNode(entry->id);
}
