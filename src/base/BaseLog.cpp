#include "base/BaseLog.h"

Q_LOGGING_CATEGORY(lcBase, "corvane.base", QtInfoMsg)
