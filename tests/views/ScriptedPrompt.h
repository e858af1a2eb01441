#pragma once

// A prompt for the widget tests: answers questions with `yes`, records every text shown (errors
// also with their caption) and the name of every dialog run; a dialog's result comes from
// `script` when set, else `result`.
#include "base/UserPrompt.h"

#include <QDialog>
#include <QStringList>

#include <functional>

namespace viewtest {

class ScriptedPrompt final : public IUserPrompt {
public:
    bool AskYesNo(QWidget *, const QString &text) override
    {
        questions << text;
        return yes;
    }
    void Show(QWidget *, PromptIcon icon, const QString &caption, const QString &text) override
    {
        shown << text;
        if (icon == PromptIcon::Critical)
            errors << caption + QLatin1Char('|') + text;
    }
    int RunModal(QDialog &dialog) override
    {
        dialogs << dialog.objectName();
        return script ? script(dialog) : result;
    }

    bool yes = true;
    int result = QDialog::Accepted;
    std::function<int(QDialog &)> script;
    QStringList questions;
    QStringList shown;
    QStringList errors;
    QStringList dialogs;
};

} // namespace viewtest
