#pragma once

#include <QLoggingCategory>

// Failures of the history core (export, workbook reading) are logged at warning level.
Q_DECLARE_LOGGING_CATEGORY(lcHistoryCore)
