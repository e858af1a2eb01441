#pragma once

#include <QString>

class QDialog;
class QWidget;

// How a notice is marked.
enum class PromptIcon { Information, Warning, Critical };

// The questions, notices and modal dialogs of the windows go through this interface, so that
// they can be driven without a real modal loop (tests answer with a scripted prompt). It names
// widgets only by pointer: the message-box implementation lives in a UI library.
class IUserPrompt {
public:
    virtual ~IUserPrompt() = default;
    // A question with Yes and No; true for Yes.
    [[nodiscard]] virtual bool AskYesNo(QWidget *parent, const QString &text) = 0;
    // A notice with an OK button; an empty caption means the prompt's own caption.
    virtual void Show(QWidget *parent, PromptIcon icon, const QString &caption, const QString &text) = 0;
    // Runs a dialog modally and returns its result code.
    virtual int RunModal(QDialog &dialog) = 0;

    void Inform(QWidget *parent, const QString &text) { Show(parent, PromptIcon::Information, {}, text); }
    void Warn(QWidget *parent, const QString &text) { Show(parent, PromptIcon::Warning, {}, text); }
    void ShowError(QWidget *parent, const QString &caption, const QString &text)
    {
        Show(parent, PromptIcon::Critical, caption, text);
    }
};
