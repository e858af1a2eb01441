#pragma once

#include <QString>

class QDialog;
class QWidget;

// The questions, notices and modal dialogs of the shell go through this interface, so that the
// windows can be driven without a real modal loop (tests answer with a scripted prompt).
class IUserPrompt {
public:
    virtual ~IUserPrompt() = default;
    // A question with Yes and No; true for Yes.
    [[nodiscard]] virtual bool AskYesNo(QWidget *parent, const QString &text) = 0;
    // A notice with an OK button.
    virtual void Inform(QWidget *parent, const QString &text) = 0;
    // An error notice with the error icon; an empty caption means the program's name.
    virtual void ShowError(QWidget *parent, const QString &caption, const QString &text) = 0;
    // Runs a dialog modally and returns its result code.
    virtual int RunModal(QDialog &dialog) = 0;
};

// The real prompt: message boxes and QDialog::exec().
class CMessageBoxPrompt final : public IUserPrompt {
public:
    [[nodiscard]] bool AskYesNo(QWidget *parent, const QString &text) override;
    void Inform(QWidget *parent, const QString &text) override;
    void ShowError(QWidget *parent, const QString &caption, const QString &text) override;
    int RunModal(QDialog &dialog) override;
};
