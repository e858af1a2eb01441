#include "views/CNewBeeDlg.h"

#include "base/NodeType.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "views/core/ManagerCommands.h"

#include <QComboBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

constexpr int kTypeNames = 6;

bool IsAddressChar(QChar c)
{
    return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
           (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
}

} // namespace

CNewBeeDlg::CNewBeeDlg(QWidget *parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("CNewBeeDlg"));
    setWindowTitle(LoadStr(Sid::MgrAddTitle));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("edit1034"));
    m_name->setMaxLength(ManagerCommands::kMaxNewName);
    m_type = new QComboBox(this);
    m_type->setObjectName(QStringLiteral("combo1035"));
    for (int i = 0; i < kTypeNames; ++i)
        m_type->addItem(LoadStr(Sid::FirstTypeName + i));

    auto *address = new QHBoxLayout;
    for (int i = 0; i < kParts; ++i) {
        auto *part = new QLineEdit(this);
        part->setObjectName(QStringLiteral("edit%1").arg(1036 + i));
        part->setMaxLength(kPartLength);
        part->setAccessibleName(LoadStr(Sid::LabelFixedId) + QString::number(i + 1));
        connect(part, &QLineEdit::textChanged, this, [this, i] { OnPartChanged(i); });
        m_parts[size_t(i)] = part;
        address->addWidget(part);
    }
    address->addWidget(new QLabel(LoadStr(Sid::MgrAddressNote), this));

    m_ok = new QPushButton(LoadStr(Sid::Ok), this);
    m_ok->setObjectName(QStringLiteral("btn1010"));
    m_ok->setAutoDefault(false);
    m_ok->setEnabled(false);
    connect(m_ok, &QPushButton::clicked, this, &CNewBeeDlg::OnOk);
    auto *cancel = new QPushButton(LoadStr(Sid::UserCancel), this);
    cancel->setObjectName(QStringLiteral("btnCancel"));
    cancel->setAutoDefault(false);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);

    auto *form = new QFormLayout(this);
    form->addRow(LoadStr(Sid::LabelName), m_name);
    form->addRow(LoadStr(Sid::LabelType), m_type);
    form->addRow(LoadStr(Sid::LabelFixedId), address);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_ok);
    buttons->addWidget(cancel);
    form->addRow(buttons);
}

QString CNewBeeDlg::Name() const
{
    return m_name->text();
}

QString CNewBeeDlg::TypeText() const
{
    return m_type->currentText();
}

quint8 CNewBeeDlg::TypeCode() const
{
    return NodeType::FromName(TypeText());
}

QString CNewBeeDlg::Address() const
{
    QString joined;
    for (const QLineEdit *part : m_parts)
        joined += part->text();
    return joined;
}

void CNewBeeDlg::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)
        return; // only the OK button confirms
    QDialog::keyPressEvent(event);
}

void CNewBeeDlg::OnPartChanged(int part)
{
    if (m_filtering)
        return;
    QLineEdit *edit = m_parts[size_t(part)];
    const QString text = edit->text();
    QString kept;
    int caret = edit->cursorPosition();
    for (int i = 0; i < text.size(); ++i) {
        if (IsAddressChar(text[i]))
            kept += text[i];
        else if (i < edit->cursorPosition())
            --caret;
    }
    bool earlierShort = false;
    for (int i = 0; i < part; ++i)
        earlierShort = earlierShort || m_parts[size_t(i)]->text().size() < kPartLength;
    if (earlierShort)
        kept.clear();
    if (kept != text) {
        m_filtering = true;
        edit->setText(kept);
        edit->setCursorPosition(qBound(0, caret, int(kept.size())));
        m_filtering = false;
    }
    m_ok->setEnabled(Address().size() == kParts * kPartLength);
    if (kept.size() == kPartLength && part + 1 < kParts) {
        QLineEdit *next = m_parts[size_t(part + 1)];
        next->setFocus();
        next->setCursorPosition(int(next->text().size()));
    }
}

void CNewBeeDlg::OnOk()
{
    if (Address().size() == kParts * kPartLength)
        accept();
}
