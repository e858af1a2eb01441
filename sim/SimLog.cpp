#include "SimLog.h"

Q_LOGGING_CATEGORY(lcSim, "corvane.sim", QtInfoMsg)
