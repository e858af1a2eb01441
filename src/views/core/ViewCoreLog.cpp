#include "views/core/ViewCoreLog.h"

Q_LOGGING_CATEGORY(lcViewCore, "corvane.viewcore", QtInfoMsg)
