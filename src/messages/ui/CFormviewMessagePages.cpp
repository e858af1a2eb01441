#include "messages/ui/CFormviewMessagePages.h"

#include "base/CvTime.h"
#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QDateEdit>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableView>
#include <QVBoxLayout>

namespace {

constexpr int kNewMessageCaption = 13201; // 新消息
constexpr int kRefreshText = 15102;       // 刷新

QTableView *MakeList(QWidget *parent, QAbstractItemModel &model)
{
    auto *view = new QTableView(parent);
    view->setObjectName(QStringLiteral("list1009"));
    SetUpMessageList(*view, model);
    return view;
}

} // namespace

void SetUpMessageList(QTableView &view, QAbstractItemModel &model)
{
    view.setModel(&model);
    view.setSelectionBehavior(QAbstractItemView::SelectRows);
    view.setEditTriggers(QAbstractItemView::NoEditTriggers);
    view.setShowGrid(false);
    view.setWordWrap(false);
    view.verticalHeader()->hide();
    view.verticalHeader()->setDefaultSectionSize(view.fontMetrics().height() + 4);
    view.horizontalHeader()->setDefaultAlignment(Qt::AlignLeft | Qt::AlignVCenter);
    for (int column = 0; column < MessageColumns::ColumnCount; ++column)
        view.setColumnWidth(column, MessageColumns::kInitialWidths[column]);
}

CMessageDplList::CMessageDplList(const MessageWords &words, const QString &objectName, QWidget *parent)
    : QWidget(parent), m_model(words, kStartLongest)
{
    setObjectName(objectName);
    m_list = MakeList(this, m_model);
    auto *clear = new QPushButton(LoadStr(Sid::MsgClear), this);
    clear->setObjectName(QStringLiteral("btn1222"));
    connect(clear, &QPushButton::clicked, this, &CMessageDplList::Clear);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addWidget(clear, 0, Qt::AlignHCenter);
}

void CMessageDplList::Append(const std::vector<MessageRow> &rows)
{
    m_model.Append(rows);
    m_model.Column().FitAbove(kFitAbove);
    m_list->setColumnWidth(MessageColumns::ColEvent, m_model.Column().Width());
}

void CMessageDplList::Clear()
{
    m_model.Clear(kClearedLongest, kClearedWidth);
    m_list->setColumnWidth(MessageColumns::ColEvent, m_model.Column().Width());
}

CMessageHistoryForm::CMessageHistoryForm(CMessageHis &archive, const MessageWords &words, QWidget *parent)
    : QWidget(parent), m_model(archive, words)
{
    setObjectName(QStringLiteral("CMessageHistoryForm"));
    m_list = MakeList(this, m_model);
    // Applied once the view has finished asking for the rows it paints.
    connect(
        &m_model, &MessageHistoryModel::eventWidthChanged, m_list,
        [this](int width) { m_list->setColumnWidth(MessageColumns::ColEvent, width); }, Qt::QueuedConnection);
    m_picker = new QDateEdit(QDate::currentDate(), this);
    m_picker->setObjectName(QStringLiteral("date1178"));
    m_picker->setDisplayFormat(QStringLiteral("yyyy-MM"));
    auto *label = new QLabel(LoadStr(Sid::MsgMonth), this);
    label->setObjectName(QStringLiteral("lbl1303"));
    label->setBuddy(m_picker);
    auto *refresh = new QPushButton(LoadStr(kRefreshText), this);
    refresh->setObjectName(QStringLiteral("btn1223"));
    m_timer.setSingleShot(true);
    m_timer.setInterval(kRefreshDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &CMessageHistoryForm::RefreshMonth);
    connect(m_picker, &QDateEdit::dateChanged, &m_timer, qOverload<>(&QTimer::start));
    connect(refresh, &QPushButton::clicked, this, &CMessageHistoryForm::RefreshMonth);
    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    bottom->addWidget(label);
    bottom->addWidget(m_picker);
    bottom->addWidget(refresh);
    bottom->addStretch(1);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_list, 1);
    layout->addLayout(bottom);
    RefreshMonth();
}

void CMessageHistoryForm::RefreshMonth()
{
    m_timer.stop();
    ++m_refreshes;
    const QDate day = m_picker->date();
    const std::optional<qint64> time = CvTime::FromLocal({day.year(), day.month(), 1, 12, 0, 0});
    if (time)
        (void)m_model.LoadMonth(*time);
}

CNewMsgDlg::CNewMsgDlg(const MessageWords &words, const std::vector<MessageRow> &rows, QWidget *parent)
    : QDialog(parent), m_model(words, 0)
{
    setObjectName(QStringLiteral("CNewMsgDlg"));
    setWindowTitle(LoadStr(kNewMessageCaption));
    m_list = MakeList(this, m_model);
    m_model.Append(rows);
    m_model.Column().FitAbove(kFitAbove);
    m_list->setColumnWidth(MessageColumns::ColEvent, m_model.Column().Width());
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_list);
    resize(765, 425); // 510 × 262 dialog units
}
