#pragma once

#include <QDateTime>
#include <QtGlobal>

// Date-time pickers show local calendar time; the program holds seconds since 1970. The
// conversion goes through the time module, which owns the local-time rules.
namespace PickerTime {

[[nodiscard]] QDateTime ToPicker(qint64 seconds);
// The picker's local date and time in seconds (the moment after a skipped local time).
[[nodiscard]] qint64 FromPicker(const QDateTime &value);

} // namespace PickerTime
