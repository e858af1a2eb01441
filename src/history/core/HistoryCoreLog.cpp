#include "history/core/HistoryCoreLog.h"

Q_LOGGING_CATEGORY(lcHistoryCore, "corvane.history.core", QtWarningMsg)
