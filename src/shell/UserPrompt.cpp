#include "shell/UserPrompt.h"

#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QDialog>
#include <QMessageBox>

namespace {

// Message boxes carry the program's name as their caption.
QString Caption()
{
    return LoadStr(Sid::MainTitle);
}

} // namespace

bool CMessageBoxPrompt::AskYesNo(QWidget *parent, const QString &text)
{
    return QMessageBox::question(parent, Caption(), text, QMessageBox::Yes | QMessageBox::No,
                                 QMessageBox::No) == QMessageBox::Yes;
}

void CMessageBoxPrompt::Inform(QWidget *parent, const QString &text)
{
    QMessageBox::information(parent, Caption(), text);
}

void CMessageBoxPrompt::ShowError(QWidget *parent, const QString &caption, const QString &text)
{
    QMessageBox::critical(parent, caption.isEmpty() ? Caption() : caption, text);
}

int CMessageBoxPrompt::RunModal(QDialog &dialog)
{
    return dialog.exec();
}
