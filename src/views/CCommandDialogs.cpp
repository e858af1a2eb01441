#include "views/CCommandDialogs.h"
#include "views/DialogButtons.h"

#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

CListConfirmDlg::CListConfirmDlg(const Texts &texts, const std::vector<Column> &columns,
                                 const std::vector<QStringList> &rows, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(texts.objectName);
    setWindowTitle(texts.title);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(texts.question, this));
    layout->addWidget(new QLabel(texts.listLine, this));

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("list1009"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setAccessibleName(texts.listLine);
    QStringList titles{QString()};
    for (const Column &c : columns)
        titles << c.title;
    m_list->setHeaderLabels(titles);
    m_list->header()->resizeSection(0, 50);
    for (size_t c = 0; c < columns.size(); ++c)
        m_list->header()->resizeSection(int(c) + 1, columns[c].width);
    int number = 0;
    for (const QStringList &cells : rows) {
        auto *item = new QTreeWidgetItem(m_list, QStringList{QString::number(++number)} + cells);
        for (size_t c = 0; c < columns.size(); ++c) {
            if (columns[c].right)
                item->setTextAlignment(int(c) + 1, Qt::AlignRight | Qt::AlignVCenter);
        }
    }
    layout->addWidget(m_list);

    layout->addLayout(OkCancelRow(*this, texts.okName, false));
    resize(640, 360);
}

void CListConfirmDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}

namespace {

CListConfirmDlg::Column Col(int titleId, int width, bool right = false)
{
    return {titleId ? LoadStr(titleId) : QString(), width, right};
}

} // namespace

CCommandStartDlg::CCommandStartDlg(const std::vector<QStringList> &rows, QWidget *parent)
    : CListConfirmDlg({QStringLiteral("CCommandStartDlg"), LoadStr(Sid::LogStart),
                       LoadStr(Sid::LogStartQuestion), LoadStr(Sid::LogStartList), QStringLiteral("btn1211")},
                      {Col(160, 80), Col(161, 140), Col(162, 70), Col(163, 150, true), Col(164, 150, true)},
                      rows, parent)
{
}

CCommandStopDlg::CCommandStopDlg(const std::vector<QStringList> &rows, QWidget *parent)
    : CListConfirmDlg({QStringLiteral("CCommandStopDlg"), LoadStr(Sid::LogStop),
                       LoadStr(Sid::LogStopQuestion), LoadStr(Sid::LogStopList), QStringLiteral("btn1212")},
                      {Col(160, 140)}, rows, parent)
{
}

CCommandAlarmDlg::CCommandAlarmDlg(const std::vector<QStringList> &rows, QWidget *parent)
    : CListConfirmDlg({QStringLiteral("CCommandAlarmDlg"), LoadStr(Sid::LogSetAlarm),
                       LoadStr(Sid::LogAlarmQuestion), LoadStr(Sid::LogAlarmList), QStringLiteral("btn1213")},
                      {Col(160, 80), Col(163, 150, true), Col(164, 150, true)}, rows, parent)
{
}

CDownloadStartDlg::CDownloadStartDlg(const std::vector<QStringList> &rows, QWidget *parent)
    : CListConfirmDlg({QStringLiteral("CDownloadStartDlg"), LoadStr(Sid::DlDownload),
                       LoadStr(Sid::DlQuestion), LoadStr(Sid::DlList), QStringLiteral("btn1215")},
                      {Col(187, 80), Col(213, 270)}, rows, parent)
{
}
