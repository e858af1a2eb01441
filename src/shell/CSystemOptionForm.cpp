#include "shell/CSystemOptionForm.h"

#include "base/AppSettings.h"
#include "base/StringIds.h"
#include "base/UserPrompt.h"

#include <QCheckBox>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

// Texts of the page's own: the three group titles and the notice of an unwritable file.
constexpr int kTempUnitGroup = 22500;      // 温度单位
constexpr int kSoundGroup = 22501;         // 声音报警
constexpr int kLanguageGroup = 22502;      // 界面语言
constexpr int kSettingsNotWritten = 22504; // 无法写入设置文件：

QPushButton *ApplyButton(const QString &objectName, QWidget *parent)
{
    auto *button = new QPushButton(LoadStr(Sid::Apply), parent);
    button->setObjectName(objectName);
    button->setAutoDefault(false);
    return button;
}

} // namespace

CSystemOptionForm::CSystemOptionForm(IUserPrompt &prompt, QWidget *parent) : QWidget(parent), m_prompt(prompt)
{
    setObjectName(QStringLiteral("CSystemOptionForm"));
    AppSettings &settings = AppSettings::Instance();

    // Each group box is its own set of exclusive radio buttons.
    auto *unitBox = new QGroupBox(LoadStr(kTempUnitGroup), this);
    m_celsius = new QRadioButton(
        LoadStr(Sid::SetCelsius) + QLatin1Char('(') + settings.CelsiusText() + QLatin1Char(')'), unitBox);
    m_celsius->setObjectName(QStringLiteral("radio1231"));
    m_fahrenheit = new QRadioButton(LoadStr(Sid::SetFahrenheit) + QLatin1Char('(') +
                                        settings.FahrenheitText() + QLatin1Char(')'),
                                    unitBox);
    m_fahrenheit->setObjectName(QStringLiteral("radio1232"));
    QPushButton *unitApply = ApplyButton(QStringLiteral("btn1234"), unitBox);
    auto *unitRow = new QHBoxLayout(unitBox);
    unitRow->addWidget(m_celsius);
    unitRow->addWidget(m_fahrenheit);
    unitRow->addStretch(1);
    unitRow->addWidget(unitApply);

    auto *soundBox = new QGroupBox(LoadStr(kSoundGroup), this);
    m_sound = new QCheckBox(LoadStr(Sid::SetSoundAlarm), soundBox);
    m_sound->setObjectName(QStringLiteral("check1233"));
    QPushButton *soundApply = ApplyButton(QStringLiteral("btn1011"), soundBox);
    auto *soundRow = new QHBoxLayout(soundBox);
    soundRow->addWidget(m_sound);
    soundRow->addStretch(1);
    soundRow->addWidget(soundApply);

    auto *languageBox = new QGroupBox(LoadStr(kLanguageGroup), this);
    m_english = new QRadioButton(LoadStr(Sid::SetEnglish), languageBox);
    m_english->setObjectName(QStringLiteral("radio1235"));
    m_chinese = new QRadioButton(LoadStr(Sid::SetChinese), languageBox);
    m_chinese->setObjectName(QStringLiteral("radio1236"));
    QPushButton *languageApply = ApplyButton(QStringLiteral("btn1237"), languageBox);
    auto *languageRow = new QHBoxLayout(languageBox);
    languageRow->addWidget(m_english);
    languageRow->addWidget(m_chinese);
    languageRow->addStretch(1);
    languageRow->addWidget(languageApply);

    auto *layout = new QVBoxLayout(this);
    layout->addWidget(unitBox);
    layout->addWidget(soundBox);
    layout->addWidget(languageBox);
    layout->addStretch(1);

    connect(unitApply, &QPushButton::clicked, this, &CSystemOptionForm::OnApplyUnit);
    connect(soundApply, &QPushButton::clicked, this, &CSystemOptionForm::OnApplySound);
    connect(languageApply, &QPushButton::clicked, this, &CSystemOptionForm::OnApplyLanguage);

    // What the settings file says, not what the running program uses: a missing or unknown
    // unit leaves both radio buttons clear.
    const QString unit = settings.ReadKey(QStringLiteral("tempunit"), QStringLiteral("tunit"));
    m_celsius->setChecked(unit == QLatin1String("0c"));
    m_fahrenheit->setChecked(unit == QLatin1String("0f"));
    m_sound->setChecked(settings.ReadKey(QStringLiteral("alaaudio"), QStringLiteral("ala")) ==
                        QLatin1String("1"));
    (settings.IsChinese() ? m_chinese : m_english)->setChecked(true);
}

bool CSystemOptionForm::Write(const QString &section, const QString &key, const QString &value)
{
    AppSettings &settings = AppSettings::Instance();
    if (settings.WriteKey(section, key, value))
        return true;
    m_prompt.Inform(this, LoadStr(kSettingsNotWritten) + settings.SettingsFilePath());
    return false;
}

void CSystemOptionForm::OnApplyUnit()
{
    AppSettings &settings = AppSettings::Instance();
    // The running program takes the new unit even when the file cannot keep it.
    if (m_celsius->isChecked()) {
        settings.SetCurrentTempUnit(settings.CelsiusText());
        Write(QStringLiteral("tempunit"), QStringLiteral("tunit"), QStringLiteral("0c"));
    } else if (m_fahrenheit->isChecked()) {
        settings.SetCurrentTempUnit(settings.FahrenheitText());
        Write(QStringLiteral("tempunit"), QStringLiteral("tunit"), QStringLiteral("0f"));
    }
    emit systemMessage(LoadStr(452 /* 温度单位设置为： */) + settings.CurrentTempUnit());
}

void CSystemOptionForm::OnApplySound()
{
    const bool on = m_sound->isChecked();
    AppSettings::Instance().SetSoundAlarm(on);
    Write(QStringLiteral("alaaudio"), QStringLiteral("ala"), on ? QStringLiteral("1") : QStringLiteral("0"));
    emit systemMessage(LoadStr(on ? 453 /* 声音报警打开 */ : 454 /* 声音报警关闭 */));
}

void CSystemOptionForm::OnApplyLanguage()
{
    QString value;
    if (m_english->isChecked())
        value = QStringLiteral("2");
    else if (m_chinese->isChecked())
        value = QStringLiteral("1");
    else
        return;
    // The notice promises a change at the next start; it is only true when the key was written.
    if (Write(QStringLiteral("language"), QStringLiteral("lang"), value))
        m_prompt.Inform(this, LoadStr(485 /* 重启程序后生效！ */));
}
