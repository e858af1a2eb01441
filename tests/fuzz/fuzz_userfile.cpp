// libFuzzer harness for the user file: any bytes are a stored (scrambled) file image.
#include "messages/UserFileCodec.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray stored(reinterpret_cast<const char *>(data), int(size));
    QByteArray plain = stored;
    UserFile::UnscrambleImage(plain);
    QByteArray again = plain;
    UserFile::ScrambleImage(again);
    if (again != stored)
        std::abort(); // scrambling must invert unscrambling for any image
    if (!UserFile::IsValidPlainImage(plain))
        return 0;
    const std::optional<int> count = UserFile::AccountCountForSize(plain.size());
    if (!count)
        std::abort();
    for (int i = 0; i < *count; ++i) {
        const QString name = UserFile::RecordName(plain, i);
        const auto type = UserFile::RecordTypeBytes(plain, i)[0];
        if (name.isEmpty() || (type != 1 && type != 2) || !UserFile::EncodeName(name))
            std::abort();
        (void)UserFile::RecordDigest(plain, i);
    }
    return 0;
}
