#include "views/PickerTime.h"

#include "base/CvTime.h"

namespace PickerTime {

QDateTime ToPicker(qint64 seconds)
{
    const CvTime::LocalFields f = CvTime::ToLocal(seconds);
    return QDateTime(QDate(f.year, f.month, f.day), QTime(f.hour, f.minute, f.second));
}

qint64 FromPicker(const QDateTime &value)
{
    const QDate d = value.date();
    const QTime t = value.time();
    return CvTime::FromLocal({d.year(), d.month(), d.day(), t.hour(), t.minute(), t.second()}).value_or(0);
}

} // namespace PickerTime
