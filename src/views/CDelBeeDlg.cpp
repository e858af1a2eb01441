#include "views/CDelBeeDlg.h"
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

CDelBeeDlg::CDelBeeDlg(const std::vector<Line> &lines, QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CDelBeeDlg"));
    setWindowTitle(LoadStr(Sid::MgrDelete));
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(LoadStr(Sid::MgrDeleteQuestion), this));
    layout->addWidget(new QLabel(LoadStr(Sid::MgrDeleteList), this));

    m_list = new QTreeWidget(this);
    m_list->setObjectName(QStringLiteral("list1045"));
    m_list->setRootIsDecorated(false);
    m_list->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_list->setHeaderLabels({QString(), LoadStr(102), LoadStr(103), LoadStr(116)});
    const int widths[] = {50, 80, 85, 120};
    for (int c = 0; c < 4; ++c)
        m_list->header()->resizeSection(c, widths[c]);
    int number = 0;
    for (const Line &line : lines)
        new QTreeWidgetItem(m_list, {QString::number(++number), line.name, line.type, line.address});
    layout->addWidget(m_list);

    layout->addLayout(OkCancelRow(*this, QStringLiteral("btn1047"), false));
}

void CDelBeeDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return;
    QDialog::keyPressEvent(event);
}
