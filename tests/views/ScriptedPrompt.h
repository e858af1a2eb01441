#pragma once

// A prompt for the widget tests: answers questions with `yes`, records every text shown and the
// name of every dialog run; a dialog's result comes from `script` when set, else `result`.
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
    void Show(QWidget *, PromptIcon, const QString &, const QString &text) override { shown << text; }
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
    QStringList dialogs;
};

} // namespace viewtest
