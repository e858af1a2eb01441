#pragma once

#include <QWidget>

class IUserPrompt;
class QCheckBox;
class QPushButton;
class QRadioButton;

// The settings dialog's options page: temperature unit, sound alarm and interface language.
// Clicking a radio button or the check box changes nothing until its "apply" button is pressed.
class CSystemOptionForm final : public QWidget {
    Q_OBJECT
public:
    // The prompt must outlive the page.
    explicit CSystemOptionForm(IUserPrompt &prompt, QWidget *parent = nullptr);

    // The three "apply" buttons.
    void OnApplyUnit();
    void OnApplySound();
    void OnApplyLanguage();

signals:
    void systemMessage(const QString &text);

private:
    // Writes one settings key; tells the operator when the file cannot be written.
    bool Write(const QString &section, const QString &key, const QString &value);

    IUserPrompt &m_prompt;
    QRadioButton *m_celsius = nullptr;
    QRadioButton *m_fahrenheit = nullptr;
    QCheckBox *m_sound = nullptr;
    QRadioButton *m_english = nullptr;
    QRadioButton *m_chinese = nullptr;
};
