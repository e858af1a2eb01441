#include "base/MessageKind.h"

#include "base/StringIds.h"
#include "base/StringTable.h"

#include <array>
#include <utility>

namespace {

constexpr std::array<std::pair<MessageKind, int>, 9> kWords = {{
    {MessageKind::Alarm, Sid::WordAlarm},
    {MessageKind::PreAlarm, Sid::WordPreAlarm},
    {MessageKind::Setting, Sid::WordSet},
    {MessageKind::Connection, Sid::WordConnect},
    {MessageKind::Get, Sid::WordGet},
    {MessageKind::Download, Sid::WordDownload},
    {MessageKind::System, Sid::WordSystem},
    {MessageKind::Interrupted, Sid::LinkInterrupted},
    {MessageKind::Scan, Sid::LinkScan},
}};

} // namespace

QString TypeWord(MessageKind kind)
{
    for (const auto &[k, id] : kWords) {
        if (k == kind)
            return LoadStr(id);
    }
    return {};
}

MessageKind KindOfWord(const QString &word)
{
    if (word.isEmpty())
        return MessageKind::None;
    for (const auto &[k, id] : kWords) {
        if (LoadStr(id) == word)
            return k;
    }
    return MessageKind::None;
}
