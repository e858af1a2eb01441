#include "messages/MessagesLog.h"

Q_LOGGING_CATEGORY(lcMessages, "corvane.messages", QtInfoMsg)
