#pragma once

#include <QString>

// The length of a text in bytes of the program's 8-bit encoding, where a character outside ASCII
// took two bytes. Column widths and name limits are counted this way.
[[nodiscard]] int LegacyByteLength(const QString &text);
