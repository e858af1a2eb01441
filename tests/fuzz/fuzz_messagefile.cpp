// libFuzzer harness for the message files. The first byte picks the file name (and so the key
// and header); the rest is the stored file, read as the tool and the message views read it.
#include "messages/CMessageHis.h"
#include "messages/MessageCodec.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size == 0)
        return 0;
    static const QString names[] = {QStringLiteral("nmw001100.cvm"), QStringLiteral("msg201403.cvm"),
                                    QStringLiteral("msg199912.cvm"), QStringLiteral("x")};
    const QString &name = names[data[0] % 4];
    const QByteArray stored(reinterpret_cast<const char *>(data + 1), int(size - 1));
    const std::uint8_t key = MessageCodec::DeriveKey(name);
    const QByteArray text = MessageCodec::Descramble(stored, key, 0);
    if (MessageCodec::Scramble(text, key, 0) != stored)
        std::abort();
    const bool leadSound = MessageCodec::LeadIsSound(text.left(MessageCodec::LeadLength(name)), name);
    const int stray = MessageCodec::FirstStrayByte(text, name);
    if (stray < -1 || stray >= text.size() || (stray == -1 && !leadSound))
        std::abort(); // a sound file always has a sound start

    CMessageHis reader;
    reader.SetLoadedText(text);
    int records = 0;
    for (int pos = 0; (pos = reader.GetNextRecord(pos)) >= 0; ++records) {
        if (records > text.size())
            std::abort(); // the walk must move forwards
        (void)reader.TypeText();
        (void)reader.TimeText();
        (void)reader.UserText();
        (void)reader.EventText();
    }
    for (int i = 0; i < reader.RecordCount(); ++i) {
        if (!reader.GetRecord(i))
            std::abort();
    }
    const QString free = QString::fromUtf8(text);
    if (MessageCodec::Unescape(MessageCodec::Escape(free)) != free)
        std::abort();
    return 0;
}
