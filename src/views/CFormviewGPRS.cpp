#include "views/CFormviewGPRS.h"
#include "views/ViewsLog.h"

#include "base/NodeType.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "messages/ui/MessageBoxPrompt.h"
#include "network/CCorvaneBeeNode.h"

#include <QComboBox>
#include <QEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableView>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

constexpr int kLockQuestion = 477; // 锁定GPRS信息到接收器将覆盖原来的GPRS信息！ 是否锁定?

// The open-slot button's picture: a pencil over a line, 16 × 16.
QIcon OpenSlotIcon()
{
    QPixmap picture(16, 16);
    picture.fill(Qt::transparent);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(40, 90, 170), 3, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(4, 12), QPointF(12, 4));
    p.setPen(QPen(QColor(230, 170, 40), 2));
    p.drawLine(QPointF(3, 13), QPointF(4.5, 11.5));
    p.setPen(QPen(Qt::darkGray, 1));
    p.drawLine(QPointF(2, 15), QPointF(14, 15));
    return QIcon(picture);
}

QTableView *MakeTable(QWidget *parent, const char *objectName, QAbstractItemModel *model)
{
    auto *view = new QTableView(parent);
    view->setObjectName(QLatin1String(objectName));
    view->setModel(model);
    view->setSelectionBehavior(QAbstractItemView::SelectRows);
    view->setEditTriggers(QAbstractItemView::NoEditTriggers);
    view->verticalHeader()->hide();
    view->verticalHeader()->setDefaultSectionSize(20);
    return view;
}

} // namespace

CFormviewGPRS::CFormviewGPRS(CCorvaneBeeNode &table, CCorvaneODBC &database, std::function<int()> receiverId,
                             std::function<int(RequestKind)> submit, IUserPrompt *prompt, QWidget *parent)
    : QWidget(parent), m_table(table), m_database(database), m_receiverId(std::move(receiverId)),
      m_submit(std::move(submit)), m_ownPrompt(prompt ? nullptr : std::make_unique<CMessageBoxPrompt>()),
      m_prompt(prompt ? prompt : m_ownPrompt.get()), m_editor(table, database),
      m_loggers(std::make_unique<GprsLoggerModel>(table, database)),
      m_bindings(std::make_unique<GprsBindingModel>(m_editor, table))
{
    setObjectName(QStringLiteral("CFormviewGPRS"));
    m_applyTimer.setSingleShot(true);
    m_applyTimer.setInterval(kApplyDelayMs);
    connect(&m_applyTimer, &QTimer::timeout, this, &CFormviewGPRS::ApplyPhoneMask);
    connect(m_bindings.get(), &GprsBindingModel::bindingChanged, this, [this] { m_applyTimer.start(); });
    BuildLayout();
    Reload();
}

CFormviewGPRS::~CFormviewGPRS() = default;

void CFormviewGPRS::BuildLayout()
{
    m_lock = new QPushButton(LoadStr(Sid::GprsLock), this);
    m_lock->setObjectName(QStringLiteral("btn1239"));
    m_lock->setAutoDefault(false);
    connect(m_lock, &QPushButton::clicked, this, &CFormviewGPRS::Lock);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(BuildPhoneGroup());
    layout->addWidget(BuildBindingGroup(), 1);
    layout->addWidget(m_lock, 0, Qt::AlignRight);
}

QWidget *CFormviewGPRS::BuildPhoneGroup()
{
    auto *group = new QGroupBox(LoadStr(Sid::GprsPhoneGroup), this);
    auto *grid = new QGridLayout(group);
    const auto *digits =
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,15}")), this);
    for (int k = 0; k < GprsBookEditor::kSlots; ++k) {
        auto *edit = new QLineEdit(group);
        edit->setObjectName(QStringLiteral("phone%1").arg(k + 1));
        edit->setMaxLength(GprsBookEditor::kMaxDigits);
        edit->setValidator(digits);
        edit->setReadOnly(true);
        edit->installEventFilter(this);
        connect(edit, &QLineEdit::returnPressed, this, [this, k] { PhoneEntered(k); });
        auto *label = new QLabel(QStringLiteral("%1:").arg(k + 1), group);
        label->setBuddy(edit);
        grid->addWidget(label, k / 5, (k % 5) * 2);
        grid->addWidget(edit, k / 5, (k % 5) * 2 + 1);
        m_phones[size_t(k)] = edit;
    }
    m_slotChoice = new QComboBox(group);
    m_slotChoice->setObjectName(QStringLiteral("combo1238"));
    m_open = new QToolButton(group);
    m_open->setObjectName(QStringLiteral("btn1011"));
    m_open->setIcon(OpenSlotIcon());
    m_open->setAccessibleName(LoadStr(Sid::GprsOpenSlot));
    connect(m_open, &QToolButton::clicked, this, &CFormviewGPRS::OpenSlot);
    grid->addWidget(m_slotChoice, 2, 0, 1, 2);
    grid->addWidget(m_open, 2, 2);
    return group;
}

QWidget *CFormviewGPRS::BuildBindingGroup()
{
    auto *group = new QGroupBox(LoadStr(Sid::GprsBindGroup), this);
    m_loggerList = MakeTable(group, "list1155", m_loggers.get());
    m_loggerList->setShowGrid(true);
    m_loggerList->setColumnWidth(GprsLoggerModel::ColNumber, 65);
    m_loggerList->setColumnWidth(GprsLoggerModel::ColName, 173);
    m_loggerList->setColumnHidden(GprsLoggerModel::ColId, true);
    connect(m_loggerList, &QTableView::clicked, this, &CFormviewGPRS::SelectLogger);
    m_bindingList = MakeTable(group, "list1162", m_bindings.get());
    m_loggerList->setAccessibleName(LoadStr(Sid::GprsBindGroup));
    m_bindingList->setAccessibleName(LoadStr(476)); // 手机号码
    m_bindingList->setColumnWidth(GprsBindingModel::ColSlot, 45);
    m_bindingList->setColumnWidth(GprsBindingModel::ColPhone, 170);
    connect(m_bindingList->horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (section == GprsBindingModel::ColSlot)
            m_bindings->ToggleAll();
    });
    auto *panel = new QFormLayout;
    const int labels[] = {Sid::GprsName, Sid::GprsType, Sid::GprsFixedId};
    for (size_t i = 0; i < m_panel.size(); ++i) {
        m_panel[i] = new QLabel(group);
        m_panel[i]->setObjectName(QStringLiteral("lbl%1").arg(1163 + int(i)));
        m_panel[i]->setTextInteractionFlags(Qt::TextSelectableByMouse);
        panel->addRow(LoadStr(labels[i]), m_panel[i]);
    }
    auto *right = new QVBoxLayout;
    right->addLayout(panel);
    right->addWidget(m_bindingList, 1);
    auto *layout = new QHBoxLayout(group);
    layout->addWidget(m_loggerList, 1);
    layout->addLayout(right, 1);
    return group;
}

void CFormviewGPRS::SetAdministrator(bool administrator)
{
    m_administrator = administrator;
    m_bindings->SetAdministrator(administrator);
    Reload();
}

void CFormviewGPRS::Reload()
{
    m_applyTimer.stop();
    m_lock->setEnabled(false);
    for (QLineEdit *edit : m_phones) {
        edit->clear();
        edit->setReadOnly(true);
    }
    m_editor.SetReceiverId(m_receiverId ? m_receiverId() : -1);
    ShowPanel(-1);
    if (!m_editor.ReceiverKnown()) {
        m_open->setEnabled(false);
        return;
    }
    if (m_slotChoice->count() == 0) {
        for (int k = 1; k <= GprsBookEditor::kSlots; ++k)
            m_slotChoice->addItem(QString::number(k));
    }
    const auto numbers = m_editor.LoadPhoneBook();
    for (int k = 0; k < GprsBookEditor::kSlots; ++k)
        m_phones[size_t(k)]->setText(numbers[size_t(k)]);
    RefreshLoggers();
    m_open->setEnabled(m_administrator);
    UpdateLockButton();
}

void CFormviewGPRS::RefreshLoggers()
{
    m_loggers->Reload();
    m_loggerList->clearSelection();
    ShowPanel(-1);
}

void CFormviewGPRS::UpdateNode(int id)
{
    m_loggers->UpdateNode(id);
    m_table.SetGprsSlot(id, -1);
    if (m_administrator && m_editor.ReceiverKnown())
        m_lock->setEnabled(true);
    ShowPanel(m_bindings->Logger());
}

void CFormviewGPRS::OpenSlot()
{
    const int slot = m_slotChoice->currentText().toInt() - 1;
    if (!m_administrator || !m_editor.ReceiverKnown() || slot < 0 || slot >= GprsBookEditor::kSlots)
        return;
    QLineEdit *edit = m_phones[size_t(slot)];
    edit->setReadOnly(false);
    edit->setFocus();
}

bool CFormviewGPRS::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::FocusOut) {
        for (int k = 0; k < GprsBookEditor::kSlots; ++k) {
            if (watched == m_phones[size_t(k)] && !m_phones[size_t(k)]->isReadOnly())
                PhoneEntered(k);
        }
    }
    return QWidget::eventFilter(watched, event);
}

void CFormviewGPRS::PhoneEntered(int slot)
{
    QLineEdit *edit = m_phones[size_t(slot)];
    edit->setReadOnly(true);
    const QString text = edit->text().trimmed();
    switch (m_editor.EnterPhone(slot, text)) {
    case GprsBookEditor::PhoneEntry::Changed:
        m_applyTimer.start();
        break;
    case GprsBookEditor::PhoneEntry::Duplicate:
        m_prompt->Warn(this, GprsBookEditor::DuplicateText(text));
        [[fallthrough]];
    case GprsBookEditor::PhoneEntry::Invalid:
        // The edit shows again what the slot holds, which is what a lock would write.
        edit->setText(m_editor.PhoneText(slot));
        break;
    case GprsBookEditor::PhoneEntry::Unchanged:
        break;
    }
}

void CFormviewGPRS::SelectLogger()
{
    const QModelIndexList rows = m_loggerList->selectionModel()->selectedRows();
    int last = -1;
    for (const QModelIndex &index : rows)
        last = qMax(last, index.row());
    ShowPanel(m_loggers->IdAt(last));
}

void CFormviewGPRS::ShowPanel(int loggerId)
{
    const int row = m_loggers->RowOf(loggerId);
    const CNodeListModel::Entry *entry = m_loggers->EntryAt(row);
    m_panel[0]->setText(entry ? entry->row.name : QString());
    m_panel[1]->setText(entry ? NodeType::Name(m_table.GetType(loggerId)) : QString());
    m_panel[2]->setText(entry ? entry->row.extaddress : QString());
    m_bindings->SetLogger(entry ? loggerId : -1);
}

void CFormviewGPRS::ApplyPhoneMask()
{
    m_table.ApplyPhoneMask();
    // Every row: the emptied slot's number and the masks that lost its bit.
    m_bindings->Refresh();
    UpdateLockButton();
}

void CFormviewGPRS::UpdateLockButton()
{
    m_lock->setEnabled(m_administrator && m_editor.LockWanted());
}

void CFormviewGPRS::Lock()
{
    if (!m_administrator || !m_editor.ReceiverKnown() || !m_prompt->AskYesNo(this, LoadStr(kLockQuestion)))
        return;
    std::vector<int> loggers;
    for (int row = 0; row < m_loggers->rowCount(); ++row)
        loggers.push_back(m_loggers->IdAt(row));
    if (!m_editor.WriteBindings(loggers))
        qCWarning(lcViews) << "the loggers' bindings were not all written to the node table";
    // Disabled until the lock's end reloads the view; a request that was not queued ends nothing.
    if (m_submit && m_submit(RequestKind::GprsLock) == 1)
        m_lock->setEnabled(false);
}
