#pragma once

#include "messages/CUserStore.h"

#include <QString>

class QLineEdit;
class QWidget;

// The message for a failed user-file operation (damaged file, failed write); empty for the others.
[[nodiscard]] QString UserFileErrorText(UserFileStatus status);

// Keeps a password field to ASCII: every other character is removed as it is typed or pasted and
// the caret stays where it was. Passwords are digested byte by byte, so only ASCII can be typed
// again at the login.
void KeepPasswordAscii(QLineEdit *edit);
