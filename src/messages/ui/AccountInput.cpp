#include "messages/ui/AccountInput.h"

#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QLineEdit>
#include <QSignalBlocker>

QString UserFileErrorText(UserFileStatus status)
{
    switch (status) {
    case UserFileStatus::Damaged:
        return LoadStr(Sid::UserFileDamaged);
    case UserFileStatus::WriteFailed:
        return LoadStr(Sid::UserWriteFailed);
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
