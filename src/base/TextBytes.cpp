#include "base/TextBytes.h"

int LegacyByteLength(const QString &text)
{
    int bytes = 0;
    for (const QChar c : text)
        bytes += c.unicode() < 0x80 ? 1 : 2;
    return bytes;
}
