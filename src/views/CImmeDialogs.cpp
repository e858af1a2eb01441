#include "views/CImmeDialogs.h"

#include "views/core/ImmeRules.h"

#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QTime>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

QPushButton *AddButton(QDialogButtonBox *box, const char *objectName, const QString &text)
{
    auto *button = box->addButton(text, QDialogButtonBox::ActionRole);
    button->setObjectName(QLatin1String(objectName));
    button->setAutoDefault(false);
    return button;
}

std::vector<CListConfirmDlg::Column> NameAndInterval()
{
    return {{LoadStr(102), 100, false}, {LoadStr(135), 100, false}};
}

} // namespace

CImmeSetupDlg::CImmeSetupDlg(const QString &name, const QString &type, const QString &address,
                             qint64 interval, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CImmeSetupDlg"));
    setWindowTitle(LoadStr(Sid::RtSetupTitle));
    auto *form = new QFormLayout;
    form->addRow(LoadStr(Sid::LabelName), new QLabel(name, this));
    form->addRow(LoadStr(Sid::LabelType), new QLabel(type, this));
    form->addRow(LoadStr(Sid::LabelFixedId), new QLabel(address, this));
    m_picker = new QTimeEdit(this);
    m_picker->setObjectName(QStringLiteral("picker1057"));
    m_picker->setDisplayFormat(QStringLiteral("HH:mm:ss"));
    m_picker->setAccessibleName(LoadStr(Sid::LabelInterval));
    form->addRow(LoadStr(Sid::LabelInterval), m_picker);
    connect(m_picker, &QTimeEdit::timeChanged, this,
            [this](const QTime &t) { m_interval = t.hour() * 3600 + t.minute() * 60 + t.second(); });
    m_picker->setTime(QTime(0, 0).addSecs(int(ImmeRules::PickerStart(interval))));
    m_interval = ImmeRules::PickerStart(interval);

    auto *buttons = new QDialogButtonBox(this);
    connect(AddButton(buttons, "btn1061", LoadStr(Sid::Apply)), &QPushButton::clicked, this,
            [this] { CloseWith(ImmeRules::kApplyOne); });
    connect(AddButton(buttons, "btn1240", LoadStr(Sid::ApplyToChecked)), &QPushButton::clicked, this,
            [this] { CloseWith(ImmeRules::kApplyToChecked); });
    QPushButton *cancel = buttons->addButton(QDialogButtonBox::Cancel);
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void CImmeSetupDlg::CloseWith(int mode)
{
    m_mode = mode;
    accept();
}

void CImmeSetupDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return; // only the buttons close the dialog with a mode
    QDialog::keyPressEvent(event);
}

CImmeStartDlg::CImmeStartDlg(const std::vector<QStringList> &rows, QWidget *parent)
    : CListConfirmDlg({QStringLiteral("CImmeStartDlg"), LoadStr(Sid::RtStart), LoadStr(Sid::RtStartQuestion),
                       LoadStr(Sid::RtStartList), QStringLiteral("btn1209")},
                      NameAndInterval(), rows, parent)
{
}

CImmeStopDlg::CImmeStopDlg(const std::vector<QStringList> &rows, QWidget *parent)
    : CListConfirmDlg({QStringLiteral("CImmeStopDlg"), LoadStr(Sid::RtStop), LoadStr(Sid::RtStopQuestion),
                       LoadStr(Sid::RtStopList), QStringLiteral("btn1210")},
                      NameAndInterval(), rows, parent)
{
}
