#include "storage/StorageLog.h"

Q_LOGGING_CATEGORY(lcStorage, "corvane.storage", QtInfoMsg)
