#include "views/CRenameDlg.h"
#include "views/DialogButtons.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "views/core/ManagerCommands.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

CRenameDlg::CRenameDlg(const QString &type, const QString &address, const QString &oldName, QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("CRenameDlg"));
    setWindowTitle(LoadStr(Sid::MgrRenameTitle));
    auto *form = new QFormLayout(this);
    auto label = [this](const QString &text, const char *name) {
        auto *l = new QLabel(text, this);
        l->setObjectName(QLatin1String(name));
        return l;
    };
    form->addRow(LoadStr(Sid::LabelName), label(oldName, "lbl1032"));
    form->addRow(LoadStr(Sid::LabelType), label(type, "lbl1030"));
    form->addRow(LoadStr(Sid::LabelFixedId), label(address, "lbl1031"));
    m_name = new QLineEdit(this);
    m_name->setObjectName(QStringLiteral("edit1029"));
    m_name->setMaxLength(ManagerCommands::kMaxRename);
    form->addRow(LoadStr(Sid::MgrNewName), m_name);

    form->addRow(OkCancelRow(*this, QStringLiteral("btnOk"), true));
}

QString CRenameDlg::NewName() const
{
    return m_name->text();
}
