#include "messages/ui/MessageBoxPrompt.h"

#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QDialog>
#include <QMessageBox>

CMessageBoxPrompt::CMessageBoxPrompt(int captionId) : m_captionId(captionId) {}

CMessageBoxPrompt::CMessageBoxPrompt() : CMessageBoxPrompt(Sid::MainTitle) {}

bool CMessageBoxPrompt::AskYesNo(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, LoadStr(m_captionId), text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}

void CMessageBoxPrompt::Show(QWidget *parent, PromptIcon icon, const QString &caption, const QString &text)
{
    static constexpr QMessageBox::Icon kIcons[] = {QMessageBox::Information, QMessageBox::Warning,
                                                   QMessageBox::Critical};
    QMessageBox box(kIcons[int(icon)], caption.isEmpty() ? LoadStr(m_captionId) : caption, text,
                    QMessageBox::Ok, parent);
    box.exec();
}

int CMessageBoxPrompt::RunModal(QDialog &dialog)
{
    return dialog.exec();
}
