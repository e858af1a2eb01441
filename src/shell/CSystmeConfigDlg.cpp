#include "shell/CSystmeConfigDlg.h"
#include "messages/ui/MessageBoxPrompt.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "shell/CDatabaseConfigForm.h"
#include "shell/CSystemOptionForm.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

CSystmeConfigDlg::CSystmeConfigDlg(CCorvaneODBC &database, std::shared_ptr<IUserPrompt> prompt,
                                   QWidget *parent)
    : QDialog(parent), m_prompt(std::move(prompt))
{
    if (!m_prompt)
        m_prompt = std::make_shared<CMessageBoxPrompt>();
    setObjectName(QStringLiteral("CSystmeConfigDlg"));
    setWindowTitle(LoadStr(Sid::MainSettings));

    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("tab1018"));
    m_databasePage = new CDatabaseConfigForm(database, *m_prompt, m_tabs);
    m_optionPage = new CSystemOptionForm(*m_prompt, m_tabs);
    m_tabs->addTab(m_databasePage, LoadStr(446 /* 数据库 */));
    m_tabs->addTab(m_optionPage, LoadStr(447 /* 选项 */));
    m_tabs->setCurrentIndex(0);
    connect(m_databasePage, &CDatabaseConfigForm::systemMessage, this, &CSystmeConfigDlg::systemMessage);
    connect(m_optionPage, &CSystemOptionForm::systemMessage, this, &CSystmeConfigDlg::systemMessage);

    auto *close = new QPushButton(LoadStr(Sid::Close), this);
    close->setObjectName(QStringLiteral("btn1"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QDialog::accept);

    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(close);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(m_tabs, 1);
    layout->addLayout(buttons);
}

CSystmeConfigDlg::~CSystmeConfigDlg() = default;

void CSystmeConfigDlg::SetStartupFlag(bool startup)
{
    m_databasePage->SetStartupFlag(startup);
}
