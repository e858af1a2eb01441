#include "messages/ui/AccountPrompt.h"

#include "base/StringTable.h"

#include <QLineEdit>
#include <QSignalBlocker>

void AccountMessageBoxes::Show(QWidget *parent, QMessageBox::Icon icon, const QString &text)
{
    QMessageBox box(icon, LoadStr(UserText::kTitle), text, QMessageBox::Ok, parent);
    box.exec();
}

bool AccountMessageBoxes::AskYesNo(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::Question, LoadStr(UserText::kTitle), text,
                    QMessageBox::Yes | QMessageBox::No, parent);
    return box.exec() == QMessageBox::Yes;
}

QString UserFileErrorText(UserFileStatus status)
{
    switch (status) {
    case UserFileStatus::Damaged:
        return LoadStr(UserText::kFileDamaged);
    case UserFileStatus::WriteFailed:
        return LoadStr(UserText::kWriteFailed);
    case UserFileStatus::Ok:
    case UserFileStatus::Missing:
    case UserFileStatus::Refused:
        break;
    }
    return {};
}

void KeepPasswordAscii(QLineEdit *edit)
{
    QObject::connect(edit, &QLineEdit::textChanged, edit, [edit](const QString &text) {
        const int caret = edit->cursorPosition();
        QString kept;
        kept.reserve(text.size());
        int removedBeforeCaret = 0;
        for (int i = 0; i < text.size(); ++i) {
            if (text.at(i).unicode() < 0x80)
                kept += text.at(i);
            else if (i < caret)
                ++removedBeforeCaret;
        }
        if (kept.size() == text.size())
            return;
        const QSignalBlocker block(edit);
        edit->setText(kept);
        edit->setCursorPosition(caret - removedBeforeCaret);
    });
}
