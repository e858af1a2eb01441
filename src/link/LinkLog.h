#pragma once

#include <QLoggingCategory>

// The logging category of this library. Failures are logged at warning level and shown by
// default; debug messages are off unless enabled with QT_LOGGING_RULES="corvane.link.debug=true".
Q_DECLARE_LOGGING_CATEGORY(lcLink)
