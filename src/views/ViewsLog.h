#pragma once

#include <QLoggingCategory>

// The logging category of the views library. Failures are logged at warning level and shown by
// default; debug messages are off unless enabled with QT_LOGGING_RULES="corvane.views.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcViews)
