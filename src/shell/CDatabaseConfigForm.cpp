#include "shell/CDatabaseConfigForm.h"

#include "base/AppSettings.h"
#include "base/StringIds.h"
#include "base/UserPrompt.h"
#include "storage/CCorvaneODBC.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

// "数据库名称不能包含路径字符（/ \ :）。"
constexpr int kBadDatabaseName = 22503;

const QString kSuffix = QStringLiteral(".mdb");

// A database name is a plain file name inside the database folder: no folder part may lead
// elsewhere.
bool HasPathCharacters(const QString &name)
{
    return name.contains(QLatin1Char('/')) || name.contains(QLatin1Char('\\')) ||
           name.contains(QLatin1Char(':'));
}

} // namespace

CDatabaseConfigForm::CDatabaseConfigForm(CCorvaneODBC &database, IUserPrompt &prompt, QWidget *parent)
    : QWidget(parent), m_database(database), m_prompt(prompt),
      m_folder(AppSettings::Instance().DatabaseFolder())
{
    setObjectName(QStringLiteral("CDatabaseConfigForm"));

    auto *createBox = new QGroupBox(LoadStr(Sid::SetNewDbGroup), this);
    m_nameEdit = new QLineEdit(createBox);
    m_nameEdit->setObjectName(QStringLiteral("edit1067"));
    m_createButton = new QPushButton(LoadStr(Sid::SetCreateDb), createBox);
    m_createButton->setObjectName(QStringLiteral("btn1228"));
    m_createButton->setAutoDefault(false);
    auto *createGrid = new QGridLayout(createBox);
    createGrid->addWidget(new QLabel(LoadStr(Sid::SetNewDbName), createBox), 0, 0);
    createGrid->addWidget(m_nameEdit, 0, 1);
    createGrid->addWidget(m_createButton, 0, 2);

    auto *setBox = new QGroupBox(LoadStr(Sid::SetSystemDbGroup), this);
    m_list = new QComboBox(setBox);
    m_list->setObjectName(QStringLiteral("combo1229"));
    m_list->setMinimumContentsLength(24);
    m_setButton = new QPushButton(LoadStr(Sid::SetSystemDb), setBox);
    m_setButton->setObjectName(QStringLiteral("btn1230"));
    m_setButton->setAutoDefault(false);
    auto *setGrid = new QGridLayout(setBox);
    setGrid->addWidget(new QLabel(LoadStr(Sid::SetChooseDb), setBox), 0, 0);
    setGrid->addWidget(m_list, 0, 1);
    setGrid->addWidget(m_setButton, 0, 2);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(createBox);
    layout->addWidget(setBox);
    layout->addStretch(1);

    connect(m_createButton, &QPushButton::clicked, this, &CDatabaseConfigForm::OnCreate);
    connect(m_setButton, &QPushButton::clicked, this, &CDatabaseConfigForm::OnSet);

    // Only an administrator creates databases; anyone may choose one.
    m_createButton->setEnabled(AppSettings::Instance().IsAdministrator());
    FillList();
}

void CDatabaseConfigForm::FillList()
{
    const QStringList names =
        QDir(m_folder).entryList({QStringLiteral("*") + kSuffix}, QDir::Files, QDir::Unsorted);
    m_list->addItems(names);
}

void CDatabaseConfigForm::OnCreate()
{
    // The button is disabled for ordinary users; a call from elsewhere is refused the same way.
    if (!AppSettings::Instance().IsAdministrator())
        return;
    QString name = m_nameEdit->text();
    if (name.isEmpty())
        return;
    if (HasPathCharacters(name)) {
        m_prompt.Inform(this, LoadStr(kBadDatabaseName));
        return;
    }
    // The suffix goes at the end: a name that merely contains it elsewhere would make a file
    // the program can never open.
    if (!name.endsWith(kSuffix))
        name += kSuffix;
    const QString path = m_folder + QLatin1Char('/') + name;
    if (QFileInfo::exists(path))
        return;
    if (m_database.CreateDatabase(path) != 1)
        return;
    emit systemMessage(LoadStr(449 /* 创建数据库 */) + name);
    m_list->addItem(name);
}

void CDatabaseConfigForm::OnSet()
{
    const QString name = m_list->currentText();
    if (!name.contains(kSuffix) || HasPathCharacters(name) ||
        !QFileInfo(m_folder + QLatin1Char('/') + name).isFile())
        return;
    AppSettings &settings = AppSettings::Instance();
    // A failed write is not reported by itself: the read-back below shows what the file holds.
    (void)settings.WriteKey(QStringLiteral("database"), QStringLiteral("mdb"), name);
    const QString stored = settings.ReadKey(QStringLiteral("database"), QStringLiteral("mdb"));
    QString notice = LoadStr(450 /* 系统数据库设置为： */) + stored + QStringLiteral("\n\n");
    if (!m_startup)
        notice += LoadStr(451 /* 如需加载该数据库，请重启程序！ */);
    m_prompt.Inform(this, notice);
    emit systemMessage(LoadStr(450 /* 系统数据库设置为： */) + name);
}
