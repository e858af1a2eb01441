#include "views/CFormviewCommand.h"
#include "views/ListViewHelpers.h"

#include "views/CCommandDialogs.h"
#include "views/PickerTime.h"
#include "views/core/CommandCells.h"
#include "views/core/LoggingRules.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "base/NodeType.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "messages/ui/MessageBoxPrompt.h"
#include "network/CCorvaneBeeNode.h"
#include "storage/CCorvaneODBC.h"

#include <QCheckBox>
#include <QDateTimeEdit>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

// Column widths of the list; the id column is hidden. Run state and interval are as wide as
// their titles in the 8-bit encoding.
int ColumnWidth(int column)
{
    switch (column) {
    case CmdColCheck:
        return 55;
    case CmdColName:
        return 80;
    case CmdColStartTime:
        return 140;
    case CmdColCh1Alarm:
    case CmdColCh2Alarm:
        return 150;
    case CmdColState:
        return 500;
    case CmdColRunState:
    case CmdColInterval:
        return int(7.5 * CCorvaneODBC::LegacyByteLength(LoadStr(CommandCells::ColumnTitleId(column))) + 5);
    default:
        return 0;
    }
}

constexpr int kRunStopped = 182; // 记录已停止
constexpr int kRunStarted = 181; // 记录已启动
constexpr int kTemperature = 152;
constexpr int kHumidity = 153;

} // namespace

CFormviewCommand::CFormviewCommand(CCorvaneBeeNode &table, CCorvaneODBC &database, Submitter submit,
                                   Canceller cancel, IUserPrompt *prompt, QWidget *parent)
    : QWidget(parent), m_table(table), m_database(database), m_submit(std::move(submit)),
      m_cancel(std::move(cancel)), m_ownPrompt(prompt ? nullptr : std::make_unique<CMessageBoxPrompt>()),
      m_prompt(prompt ? prompt : m_ownPrompt.get()), m_clock(&CvTime::Now),
      m_model(std::make_unique<CCommandListModel>(table, database))
{
    setObjectName(QStringLiteral("CFormviewCommand"));
    BuildLayout();
    FillPanel();
}

CFormviewCommand::~CFormviewCommand() = default;

QPushButton *CFormviewCommand::MakeButton(const char *objectName, int textId, bool enterClicks)
{
    auto *button = new QPushButton(LoadStr(textId), this);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(enterClicks); // Enter clicks it while it has the focus
    return button;
}

void CFormviewCommand::BuildLayout()
{
    m_list = ListViewHelpers::MakeNodeList(*m_model, "list1087", LoadStr(Sid::MainViewLogging), &ColumnWidth,
                                           CmdColId, CmdColCheck, this);
    connect(m_list->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            &CFormviewCommand::SelectionChanged);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    auto *bottom = new QHBoxLayout;
    bottom->addWidget(BuildPanel(), 1);
    bottom->addWidget(BuildButtons());
    layout->addLayout(bottom);
}

QWidget *CFormviewCommand::BuildPanel()
{
    auto *panel = new QGroupBox(LoadStr(Sid::LogGroup), this);
    auto *grid = new QGridLayout(panel);
    const auto label = [&](int textId, QWidget *field, int row, int column) {
        auto *caption = new QLabel(LoadStr(textId), panel);
        caption->setBuddy(field);
        grid->addWidget(caption, row, column);
        grid->addWidget(field, row, column + 1);
    };
    m_name = new QLabel(panel);
    m_type = new QLabel(panel);
    m_address = new QLabel(panel);
    m_state = new QLabel(panel);
    label(Sid::LabelName, m_name, 0, 0);
    label(Sid::LabelType, m_type, 0, 2);
    label(Sid::LabelFixedId, m_address, 1, 0);
    label(Sid::LabelState, m_state, 1, 2);

    m_start = new QDateTimeEdit(panel);
    m_start->setObjectName(QStringLiteral("picker1094"));
    m_start->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_interval = new QTimeEdit(panel);
    m_interval->setObjectName(QStringLiteral("picker1095"));
    m_interval->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    label(Sid::LabelStartTime, m_start, 2, 0);
    label(Sid::LabelRecordInterval, m_interval, 2, 2);

    m_alarmBox = new QCheckBox(LoadStr(Sid::LogAlarm), panel);
    m_alarmBox->setObjectName(QStringLiteral("check1088"));
    connect(m_alarmBox, &QCheckBox::toggled, this, &CFormviewCommand::AlarmChanged);
    grid->addWidget(m_alarmBox, 3, 0);

    static constexpr const char *kEditNames[4] = {"edit1090", "edit1089", "edit1092", "edit1091"};
    for (int i = 0; i < 4; ++i) {
        m_edits[size_t(i)] = new QLineEdit(panel);
        m_edits[size_t(i)]->setObjectName(QLatin1String(kEditNames[i]));
        connect(m_edits[size_t(i)], &QLineEdit::textChanged, this, [this, i] { LimitEdited(i); });
    }
    m_quantity1 = new QLabel(panel);
    m_quantity2 = new QLabel(panel);
    const auto channel = [&](int titleId, int lower, QLabel *quantity, int row) {
        auto *frame = new QGroupBox(LoadStr(titleId), panel);
        auto *line = new QHBoxLayout(frame);
        m_edits[size_t(lower)]->setAccessibleName(LoadStr(titleId) + LoadStr(Sid::LogLowerLimit));
        m_edits[size_t(lower + 1)]->setAccessibleName(LoadStr(titleId) + LoadStr(Sid::LogUpperLimit));
        line->addWidget(m_edits[size_t(lower)]);
        line->addWidget(new QLabel(QStringLiteral("<"), frame));
        line->addWidget(quantity);
        line->addWidget(new QLabel(QStringLiteral("<"), frame));
        line->addWidget(m_edits[size_t(lower + 1)]);
        grid->addWidget(frame, row, 0, 1, 4);
    };
    channel(Sid::LabelCh1Alarm, Ch1Lower, m_quantity1, 4);
    channel(Sid::LabelCh2Alarm, Ch2Lower, m_quantity2, 5);

    QPushButton *apply = MakeButton("btn1103", Sid::Apply, true);
    QPushButton *applyAll = MakeButton("btn1241", Sid::ApplyToChecked);
    connect(apply, &QPushButton::clicked, this, &CFormviewCommand::Apply);
    connect(applyAll, &QPushButton::clicked, this, &CFormviewCommand::ApplyToChecked);
    grid->addWidget(apply, 6, 2);
    grid->addWidget(applyAll, 6, 3);
    return panel;
}

QWidget *CFormviewCommand::BuildButtons()
{
    auto *frame = new QGroupBox(this);
    auto *column = new QVBoxLayout(frame);
    QPushButton *start = MakeButton("btn1104", Sid::LogStart, true);
    QPushButton *stop = MakeButton("btn1105", Sid::LogStop, true);
    QPushButton *alarm = MakeButton("btn1012", Sid::LogSetAlarm, true);
    QPushButton *cancel = MakeButton("btn1121", Sid::CancelOperation, true);
    connect(start, &QPushButton::clicked, this, &CFormviewCommand::StartRecording);
    connect(stop, &QPushButton::clicked, this, &CFormviewCommand::StopRecording);
    connect(alarm, &QPushButton::clicked, this, &CFormviewCommand::SetAlarm);
    connect(cancel, &QPushButton::clicked, this, &CFormviewCommand::CancelOperation);
    for (QPushButton *b : {start, stop, alarm, cancel})
        column->addWidget(b);
    column->addStretch(1);
    return frame;
}

void CFormviewCommand::keyPressEvent(QKeyEvent *event)
{
    if (ListViewHelpers::IsSwallowedKey(*event))
        return;
    QWidget::keyPressEvent(event);
}

void CFormviewCommand::RefreshList()
{
    m_model->Reload();
    m_list->clearSelection();
    m_selected = -1;
    FillPanel();
}

void CFormviewCommand::UpdateNode(int id)
{
    m_model->UpdateNode(id);
}

int CFormviewCommand::LastSelectedRow() const
{
    return ListViewHelpers::LastSelectedRow(*m_list);
}

void CFormviewCommand::SelectionChanged()
{
    m_selected = m_model->IdAt(LastSelectedRow());
    FillPanel();
}

void CFormviewCommand::ClearPanel()
{
    for (QLabel *l : {m_name, m_type, m_address, m_state, m_quantity1, m_quantity2})
        l->clear();
    m_start->setEnabled(false);
    m_interval->setEnabled(false);
    m_alarmBox->setEnabled(false);
    for (QLineEdit *e : m_edits) {
        e->clear();
        e->setEnabled(false);
    }
}

void CFormviewCommand::FillPanel()
{
    const BeeNodeItem *live = m_table.Find(m_selected);
    if (!live || m_database.SeekLookupNode(m_selected) != 1 ||
        !NodeType::HasChannel1(m_database.LookupCursor().Row().type)) {
        ClearPanel();
        return;
    }
    const NodeRow row = m_database.LookupCursor().Row();
    m_name->setText(row.name);
    m_type->setText(NodeType::Name(row.type));
    m_address->setText(row.extaddress);
    const int run = row.runstate & 7;
    m_state->setText(run == 0 ? LoadStr(kRunStopped) : run <= 2 ? LoadStr(kRunStarted) : QString());

    m_start->setEnabled(true);
    m_start->setDateTime(PickerTime::ToPicker(LoggingRules::OfferedStartTime(live->logStartTime, m_clock())));
    m_interval->setEnabled(true);
    m_interval->setTime(QTime(0, 0).addSecs(
        int(LoggingRules::PickerInterval(LoggingRules::OfferedInterval(live->logInterval, row.sampleCap)))));
    m_alarmBox->setEnabled(true);
    const bool alarm = live->alarmEnable == LoggingRules::kAlarmOn;
    if (m_alarmBox->isChecked() == alarm)
        AlarmChanged(alarm); // no toggle signal: fill or empty the edits all the same
    else
        m_alarmBox->setChecked(alarm);
}

QString CFormviewCommand::UnitOf(int which) const
{
    return which < Ch2Lower ? m_table.Ch1UnitText(m_selected) : m_table.Ch2UnitText(m_selected);
}

void CFormviewCommand::FillLimits()
{
    const BeeNodeItem *live = m_table.Find(m_selected);
    if (!live || m_database.SeekLookupNode(m_selected) != 1)
        return;
    const NodeRow row = m_database.LookupCursor().Row();
    const quint8 type = row.type;
    const QString unit1 = m_table.Ch1UnitText(m_selected);
    const QString unit2 = m_table.Ch2UnitText(m_selected);
    m_quantity1->setText(LoadStr(kTemperature) + QLatin1Char(':') + unit1);
    const bool two = NodeType::HasChannel2(type);
    m_quantity2->setText(two ? LoadStr((type & 0xCC) == 0x8C ? kHumidity : kTemperature) + QLatin1Char(':') +
                                   unit2
                             : QString());
    const std::array<float, 4> offered{LoggingRules::OfferedLimit(live->devCh1Lower, row.channel1_lower),
                                       LoggingRules::OfferedLimit(live->devCh1Upper, row.channel1_upper),
                                       LoggingRules::OfferedLimit(live->devCh2Lower, row.channel2_lower),
                                       LoggingRules::OfferedLimit(live->devCh2Upper, row.channel2_upper)};
    for (int i = 0; i < 4; ++i) {
        const bool present = i < Ch2Lower || two;
        m_edits[size_t(i)]->setEnabled(present);
        m_edits[size_t(i)]->setText(present ? LoggingRules::LimitText(offered[size_t(i)], UnitOf(i))
                                            : QString());
    }
}

void CFormviewCommand::AlarmChanged(bool checked)
{
    m_alarm = checked;
    if (checked && m_database.IsOpen() && m_database.SeekLookupNode(m_selected) == 1) {
        FillLimits();
        return;
    }
    for (QLineEdit *e : m_edits) {
        e->clear();
        e->setEnabled(false);
    }
}

void CFormviewCommand::LimitEdited(int which)
{
    QLineEdit *edit = m_edits[size_t(which)];
    const QString text = edit->text();
    const QString kept = LoggingRules::FilterLimitText(text);
    if (kept != text) {
        const int caret = std::max(0, edit->cursorPosition() - int(text.size() - kept.size()));
        const QSignalBlocker block(edit);
        edit->setText(kept);
        edit->setCursorPosition(std::min(caret, int(kept.size())));
    }
    m_limits[size_t(which)] = LoggingRules::LimitValue(kept, UnitOf(which));
}

bool CFormviewCommand::ApplyTo(int id)
{
    LoggingRules::Parameters p;
    p.startTime = PickerTime::FromPicker(m_start->dateTime());
    const QTime interval = m_interval->time();
    p.interval = interval.hour() * 3600 + interval.minute() * 60 + interval.second();
    p.alarm = m_alarm;
    p.ch1Lower = m_limits[Ch1Lower];
    p.ch1Upper = m_limits[Ch1Upper];
    p.ch2Lower = m_limits[Ch2Lower];
    p.ch2Upper = m_limits[Ch2Upper];
    const int result = LoggingRules::Apply(m_table, id, p);
    if (result > 0)
        m_prompt->ShowError(this, {}, LoadStr(result));
    if (result != 0)
        return false;
    m_model->UpdateNode(id);
    m_model->SetChecked(m_model->RowOf(id), true);
    return true;
}

void CFormviewCommand::Apply()
{
    if (m_selected >= 0)
        (void)ApplyTo(m_selected);
}

void CFormviewCommand::ApplyToChecked()
{
    std::vector<int> ids;
    for (const int row : m_model->CheckedRows())
        ids.push_back(m_model->IdAt(row));
    for (const int id : ids)
        (void)ApplyTo(id);
    Apply();
}

std::vector<QStringList> CFormviewCommand::CheckedCells(const std::vector<int> &columns) const
{
    std::vector<QStringList> rows;
    for (const int row : m_model->CheckedRows()) {
        QStringList cells;
        for (const int c : columns)
            cells << m_model->TextAt(row, c);
        rows.push_back(cells);
    }
    return rows;
}

void CFormviewCommand::SendToChecked(RequestKind kind)
{
    const std::vector<int> rows = m_model->CheckedRows();
    for (const int row : rows) {
        const int id = m_model->IdAt(row);
        if (m_submit && m_submit(m_model.get(), kind, row) == 1) {
            m_table.SetLogCmdState(id, LoggingRules::QueuedState(kind));
            m_model->UpdateNode(id);
        }
    }
}

void CFormviewCommand::StartRecording()
{
    if (m_model->CheckedRows().empty())
        return;
    CCommandStartDlg dialog(
        CheckedCells({CmdColName, CmdColStartTime, CmdColInterval, CmdColCh1Alarm, CmdColCh2Alarm}), this);
    if (m_prompt->RunModal(dialog) == QDialog::Accepted)
        SendToChecked(RequestKind::StartLogging);
}

void CFormviewCommand::StopRecording()
{
    if (m_model->CheckedRows().empty())
        return;
    CCommandStopDlg dialog(CheckedCells({CmdColName}), this);
    if (m_prompt->RunModal(dialog) == QDialog::Accepted)
        SendToChecked(RequestKind::StopLogging);
}

void CFormviewCommand::SetAlarm()
{
    if (m_model->CheckedRows().empty())
        return;
    CCommandAlarmDlg dialog(CheckedCells({CmdColName, CmdColCh1Alarm, CmdColCh2Alarm}), this);
    if (m_prompt->RunModal(dialog) == QDialog::Accepted)
        SendToChecked(RequestKind::SetAlarm);
}

void CFormviewCommand::CancelOperation()
{
    const int row = LastSelectedRow();
    const auto *entry = m_model->EntryAt(row);
    if (!entry || !m_model->IsChecked(row) || m_database.SeekLookupNode(entry->id) != 1)
        return;
    const QString address = m_database.LookupCursor().Row().extaddress;
    const quint8 state = LoggingRules::CancelState(
        [this, &address](RequestKind kind) { return m_cancel && m_cancel(kind, address); });
    if (state != 0)
        m_table.SetLogCmdState(entry->id, state);
    m_model->UpdateNode(entry->id);
}
