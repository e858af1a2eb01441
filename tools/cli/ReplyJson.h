#pragma once

#include "link/AffairReply.h"

#include <QJsonObject>

namespace cli {

// The record's code, type, completeness and presence, then the fields its presence bits mark
// (addresses as 16-digit text, times as seconds, values in hundredths, a download block as
// address, received and hex data); the GPRS answers' fields always, as they carry no presence.
[[nodiscard]] QJsonObject ReplyToJson(const AffairReply &r);

} // namespace cli
