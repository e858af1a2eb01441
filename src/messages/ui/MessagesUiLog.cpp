#include "messages/ui/MessagesUiLog.h"

Q_LOGGING_CATEGORY(lcMessagesUi, "corvane.messages.ui", QtInfoMsg)
