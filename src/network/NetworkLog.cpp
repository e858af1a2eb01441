#include "network/NetworkLog.h"

Q_LOGGING_CATEGORY(lcNetwork, "corvane.network", QtInfoMsg)
