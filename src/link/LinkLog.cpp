#include "link/LinkLog.h"

Q_LOGGING_CATEGORY(lcLink, "corvane.link", QtInfoMsg)
