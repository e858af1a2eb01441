#include "history/HistoryLog.h"

Q_LOGGING_CATEGORY(lcHistory, "corvane.history", QtWarningMsg)
