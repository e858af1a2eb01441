#include "history/CFormviewHistory.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "history/CCorvPrintDlg.h"
#include "history/CHistoryCurve.h"
#include "history/CHistorySumm.h"
#include "history/CHistoryText.h"
#include "history/HistoryLog.h"
#include "history/core/CHistoryRecordModel.h"
#include "messages/ui/MessageBoxPrompt.h"
#include "storage/CCorvFile.h"
#include "storage/CCorvaneODBC.h"
#include "storage/HistoryTables.h"
#include "views/ListViewHelpers.h"
#include "views/PickerTime.h"
#include "views/core/CHistoryNodeModel.h"

#include <QDateTimeEdit>
#include <QFileDialog>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTabWidget>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kNodeWidths[] = {55, 80, 130, 0};
constexpr int kRecordWidths[] = {55, 85, 140, 140, 100, 100, 150, 150, 0};

CFormviewHistory::SaveChoice DialogSave(QWidget *parent, const QString &folder, const QStringList &filters)
{
    QFileDialog dialog(parent, LoadStr(Sid::HistSaveAs), folder, filters.join(QStringLiteral(";;")));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setOption(QFileDialog::DontConfirmOverwrite);
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return {};
    return {dialog.selectedFiles().constFirst(), int(filters.indexOf(dialog.selectedNameFilter()))};
}

QString DialogOpen(QWidget *parent, const QString &folder)
{
    return QFileDialog::getOpenFileName(parent, LoadStr(Sid::HistOpenFile), folder,
                                        LoadStr(Sid::DataFileFilter));
}

template <size_t N>
QTableView *MakeList(QWidget *parent, const char *name, QAbstractItemModel *model, const int (&widths)[N])
{
    auto *list = new QTableView(parent);
    list->setObjectName(QLatin1String(name));
    list->setModel(model);
    list->setSelectionBehavior(QAbstractItemView::SelectRows);
    list->setSelectionMode(QAbstractItemView::SingleSelection);
    list->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list->verticalHeader()->hide();
    list->verticalHeader()->setDefaultSectionSize(20);
    for (size_t c = 0; c < N; ++c) {
        list->setColumnWidth(int(c), widths[c]);
        list->setColumnHidden(int(c), widths[c] == 0);
    }
    return list;
}

} // namespace

CFormviewHistory::CFormviewHistory(CCorvaneBeeNode &table, CCorvaneODBC &database, IUserPrompt *prompt,
                                   QWidget *parent)
    : QWidget(parent), m_database(database),
      m_ownPrompt(prompt ? nullptr : std::make_unique<CMessageBoxPrompt>()),
      m_prompt(prompt ? prompt : m_ownPrompt.get()), m_chooseSave(&DialogSave), m_chooseOpen(&DialogOpen),
      m_nodes(std::make_unique<CHistoryNodeModel>(table, database)),
      m_records(std::make_unique<CHistoryRecordModel>())
{
    setObjectName(QStringLiteral("CFormviewHistory"));
    BuildLayout();
    ConnectPickers();
}

CFormviewHistory::~CFormviewHistory()
{
    m_nodeList->setModel(nullptr);
    m_recordList->setModel(nullptr);
}

void CFormviewHistory::SetChoosers(SaveChooser save, OpenChooser open)
{
    m_chooseSave = std::move(save);
    m_chooseOpen = std::move(open);
}

const CNodeDataSave &CFormviewHistory::Store() const
{
    return m_database.History().Samples();
}

QPushButton *CFormviewHistory::MakeButton(const char *objectName, int textId, bool enterClicks)
{
    auto *button = new QPushButton(LoadStr(textId), this);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(enterClicks); // Enter clicks it while it has the focus
    return button;
}

void CFormviewHistory::BuildLayout()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(BuildLists(), 2);
    layout->addWidget(BuildControls());
    layout->addWidget(BuildTabs(), 3);
}

QWidget *CFormviewHistory::BuildLists()
{
    auto *box = new QWidget(this);
    m_nodeList = MakeList(box, "list1123", m_nodes.get(), kNodeWidths);
    m_nodeList->setAccessibleName(LoadStr(Sid::MainViewHistory));
    m_recordList = MakeList(box, "list1124", m_records.get(), kRecordWidths);
    m_recordList->setAccessibleName(LoadStr(Sid::HistRecordList));
    connect(m_nodeList, &QTableView::clicked, this, [this](const QModelIndex &i) { ChooseNode(i.row()); });
    connect(m_recordList, &QTableView::doubleClicked, this,
            [this](const QModelIndex &i) { LoadRecord(i.row()); });
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    row->addWidget(m_nodeList, 2);
    row->addWidget(m_recordList, 5);
    return box;
}

QWidget *CFormviewHistory::BuildControls()
{
    auto *box = new QWidget(this);
    auto *grid = new QGridLayout(box);
    grid->setContentsMargins(0, 0, 0, 0);
    m_name = new QLabel(box);
    m_name->setObjectName(QStringLiteral("static1181"));
    m_key = new QLabel(box);
    m_key->setObjectName(QStringLiteral("static1182"));
    auto addLabelled = [box, grid](int row, int column, int textId, QWidget *field) {
        auto *label = new QLabel(LoadStr(textId), box);
        label->setBuddy(field);
        field->setAccessibleName(label->text());
        grid->addWidget(label, row, column);
        grid->addWidget(field, row, column + 1);
    };
    addLabelled(0, 0, Sid::LabelName, m_name);
    addLabelled(1, 0, Sid::LabelFixedId, m_key);
    m_startDate = new QDateEdit(box);
    m_startTime = new QTimeEdit(box);
    m_endDate = new QDateEdit(box);
    m_endTime = new QTimeEdit(box);
    const std::pair<QDateTimeEdit *, const char *> pickers[] = {{m_startDate, "picker1183"},
                                                                {m_startTime, "picker1178"},
                                                                {m_endDate, "picker1184"},
                                                                {m_endTime, "picker1180"}};
    for (const auto &[picker, name] : pickers) {
        picker->setObjectName(QLatin1String(name));
        picker->setDisplayFormat(qobject_cast<QDateEdit *>(picker) ? QStringLiteral("yyyy-MM-dd")
                                                                   : QStringLiteral("HH:mm:ss"));
    }
    addLabelled(0, 2, Sid::HistRangeStart, m_startDate);
    addLabelled(1, 2, Sid::HistRangeEnd, m_endDate);
    grid->addWidget(m_startTime, 0, 4);
    grid->addWidget(m_endTime, 1, 4);
    m_startTime->setAccessibleName(m_startDate->accessibleName());
    m_endTime->setAccessibleName(m_endDate->accessibleName());
    m_set = MakeButton("btn1012", Sid::HistSet, false);
    m_set->setEnabled(false);
    m_moment = new QDateTimeEdit(box);
    m_moment->setObjectName(QStringLiteral("picker1238"));
    m_moment->setDisplayFormat(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
    m_moment->setAccessibleName(LoadStr(Sid::HistSearch));
    QPushButton *search = MakeButton("btn1239", Sid::HistSearch, false);
    m_print = MakeButton("btn1143", Sid::HistPrint, true);
    m_print->setEnabled(false); // until a range is loaded
    QPushButton *save = MakeButton("btn1125", Sid::HistSaveAs, true);
    QPushButton *open = MakeButton("btn1013", Sid::HistOpenFile, true);
    grid->addWidget(m_set, 0, 5);
    grid->addWidget(m_moment, 1, 5);
    grid->addWidget(search, 1, 6);
    grid->addWidget(m_print, 0, 7);
    grid->addWidget(save, 0, 8);
    grid->addWidget(open, 1, 8);
    grid->setColumnStretch(1, 1);
    connect(m_set, &QPushButton::clicked, this, &CFormviewHistory::Apply);
    connect(search, &QPushButton::clicked, this, &CFormviewHistory::Search);
    connect(save, &QPushButton::clicked, this, &CFormviewHistory::SaveAs);
    connect(m_print, &QPushButton::clicked, this, &CFormviewHistory::PrintData);
    connect(open, &QPushButton::clicked, this, &CFormviewHistory::OpenFile);
    return box;
}

QWidget *CFormviewHistory::BuildTabs()
{
    const CNodeDataSave &store = Store();
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tab1018"));
    m_curve = new CHistoryCurve(store, m_tabs);
    m_text = new CHistoryText(store, m_tabs);
    m_summary = new CHistorySumm(store, m_tabs);
    m_tabs->addTab(m_curve, LoadStr(202));   // 曲线
    m_tabs->addTab(m_text, LoadStr(203));    // 数据
    m_tabs->addTab(m_summary, LoadStr(204)); // 概述
    return m_tabs;
}

void CFormviewHistory::ConnectPickers()
{
    connect(m_startDate, &QDateEdit::dateChanged, this, [this](const QDate &d) {
        m_range.SetStartDate(d);
        RangeEdited();
    });
    connect(m_startTime, &QTimeEdit::timeChanged, this, [this](const QTime &t) {
        m_range.SetStartTime(t);
        RangeEdited();
    });
    connect(m_endDate, &QDateEdit::dateChanged, this, [this](const QDate &d) {
        m_range.SetEndDate(d);
        RangeEdited();
    });
    connect(m_endTime, &QTimeEdit::timeChanged, this, [this](const QTime &t) {
        m_range.SetEndTime(t);
        RangeEdited();
    });
}

void CFormviewHistory::RangeEdited()
{
    m_set->setEnabled(m_range.CanApply());
}

void CFormviewHistory::keyPressEvent(QKeyEvent *event)
{
    if (ListViewHelpers::IsSwallowedKey(*event))
        return;
    QWidget::keyPressEvent(event);
}

void CFormviewHistory::RefreshList()
{
    m_nodes->Reload();
}

void CFormviewHistory::UpdateNode(int id)
{
    m_nodes->UpdateNode(id);
}

void CFormviewHistory::ChooseNode(int row)
{
    const QString key = m_nodes->KeyAt(row);
    if (key.isEmpty())
        return;
    m_nodes->CheckOnly(row);
    m_records->SetRecords(HistoryRecords::Read(m_database.History(), key), key);
}

void CFormviewHistory::LoadRecord(int row)
{
    if (row < 0 || row >= m_records->rowCount())
        return;
    m_records->CheckOnly(row);
    (void)LoadStored(m_records->NodeKey(), m_records->Records()[size_t(row)].id);
}

bool CFormviewHistory::LoadStored(const QString &nodeKey, qint32 id)
{
    CHistoryStore &h = m_database.History();
    const bool loaded = h.OpenSummaryTable(nodeKey) && h.SeekRecord(id) &&
                        h.OpenDataTable(h.DataTableName(), 0) && h.LoadSegmentChain(h.LastHeaderId()) &&
                        h.LoadRecordSamples();
    if (!loaded) {
        qCWarning(lcHistory) << "record" << id << "of node" << nodeKey << "could not be loaded";
        return false;
    }
    ShowLoaded();
    return true;
}

void CFormviewHistory::ShowLoaded()
{
    RefreshPages();
    if (m_range.SetFromStore(Store()))
        ShowRange();
    m_set->setEnabled(false);
}

void CFormviewHistory::RefreshPages()
{
    m_curve->Refresh();
    m_text->Refresh();
    m_summary->Refresh();
    m_name->setText(Store().name);
    m_key->setText(Store().nodeKey);
    m_print->setEnabled(HistoryViewRules::CanSave(Store()));
}

void CFormviewHistory::ShowRange()
{
    const QDateTime from = PickerTime::ToPicker(m_range.From());
    const QDateTime to = PickerTime::ToPicker(m_range.To());
    // Time pickers hold a time of day only: they take the time part alone.
    const QSignalBlocker b1(m_startDate), b2(m_startTime), b3(m_endDate), b4(m_endTime);
    m_startDate->setDate(from.date());
    m_startTime->setTime(from.time());
    m_endDate->setDate(to.date());
    m_endTime->setTime(to.time());
}

void CFormviewHistory::Apply()
{
    if (!m_range.Apply(m_database.History().Samples()))
        qCWarning(lcHistory) << "range" << m_range.From() << m_range.To() << "refused";
    RefreshPages();
    m_set->setEnabled(false);
}

void CFormviewHistory::Search()
{
    const int nodeRow = ListViewHelpers::LastSelectedRow(*m_nodeList);
    const qint64 moment = PickerTime::FromPicker(m_moment->dateTime());
    const QString key = m_nodes->KeyAt(nodeRow);
    if (key.isEmpty() || moment == 0)
        return;
    std::vector<HistoryRecordEntry> records = HistoryRecords::Read(m_database.History(), key);
    const int k = HistoryRecords::Find(records, moment);
    if (k < 0)
        return;
    // The record list shows the searched node's records, so that row k is the found record.
    if (m_records->NodeKey() != key || m_records->Records().size() != records.size()) {
        m_nodes->CheckOnly(nodeRow);
        m_records->SetRecords(std::move(records), key);
    }
    const HistoryRecordEntry &found = m_records->Records()[size_t(k)];
    const bool shown = m_key->text() == key && found.start == m_summary->Shown().rangeStart;
    if (!shown && !LoadStored(key, found.id))
        return;
    m_records->CheckOnly(k);
    m_text->MarkRow(HistoryViewRules::RowOfMoment(Store(), moment));
}

void CFormviewHistory::SaveAs()
{
    CNodeDataSave &store = m_database.History().Samples();
    if (!HistoryViewRules::CanSave(store))
        return;
    const SaveChoice choice =
        m_chooseSave(this, HistoryViewRules::InitialFolder(), HistoryViewRules::SaveFilters());
    if (choice.path.isEmpty())
        return;
    const HistoryViewRules::SaveOutcome out = HistoryViewRules::Save(store, choice.path, choice.filter);
    if (out.saved)
        emit statusChanged(out.status);
    else if (!out.status.isEmpty())
        m_prompt->Warn(this, out.status);
}

void CFormviewHistory::PrintData()
{
    if (!HistoryViewRules::CanSave(Store()))
        return;
    CCorvPrintDlg dialog(Store(), *m_prompt, this);
    (void)m_prompt->RunModal(dialog);
}

void CFormviewHistory::OpenFile()
{
    const QString path = m_chooseOpen(this, CCorvFile::InitialFolder(CCorvFile::RememberedOpenFolder()));
    if (path.isEmpty())
        return;
    CCorvFile file(m_database.History().Samples());
    if (!file.OpenChosenDataFile(path)) {
        qCWarning(lcHistory) << "data file" << path << "refused:" << DataFile::FaultText(file.LastFault());
        return;
    }
    ShowLoaded();
}
