#pragma once

#include "base/UserPrompt.h"

// The real prompt: message boxes captioned with a string-table text, and QDialog::exec().
class CMessageBoxPrompt final : public IUserPrompt {
public:
    // captionId: the string id of the boxes' caption (the program's name by default).
    explicit CMessageBoxPrompt(int captionId);
    CMessageBoxPrompt();

    [[nodiscard]] bool AskYesNo(QWidget *parent, const QString &text) override;
    void Show(QWidget *parent, PromptIcon icon, const QString &caption, const QString &text) override;
    int RunModal(QDialog &dialog) override;

private:
    int m_captionId;
};
