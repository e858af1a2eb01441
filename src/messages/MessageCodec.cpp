#include "messages/MessageCodec.h"

namespace MessageCodec {

namespace {

// The two constants of the key derivation.
constexpr std::uint8_t kKeyMask = 0x6B;
constexpr std::uint8_t kKeyAvoid = 0x35;

std::uint8_t Reverse(std::uint8_t b)
{
    b = static_cast<std::uint8_t>((b & 0xF0) >> 4 | (b & 0x0F) << 4);
    b = static_cast<std::uint8_t>((b & 0xCC) >> 2 | (b & 0x33) << 2);
    b = static_cast<std::uint8_t>((b & 0xAA) >> 1 | (b & 0x55) << 1);
    return b;
}

} // namespace

std::uint8_t DeriveKey(const QString &fileName)
{
    const QByteArray name = fileName.toLatin1();
    quint32 sum = 0;
    for (int i = 0; i < name.size(); ++i)
        sum = (sum + static_cast<std::uint8_t>(name[i])) ^ static_cast<quint32>(i);
    sum += static_cast<quint32>(name.size());
    std::uint8_t key = static_cast<std::uint8_t>((sum & 0xFF) ^ ((sum >> 8) & 0xFF));
    key ^= kKeyMask;
    if (key == 0x00 || key == 0xFF)
        key ^= kKeyAvoid;
    return key;
}

QByteArray Scramble(const QByteArray &plain, std::uint8_t key, qint64 startPosition)
{
    QByteArray out(plain.size(), Qt::Uninitialized);
    const auto *in = reinterpret_cast<const std::uint8_t *>(plain.constData());
    char *to = out.data();
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const auto pos = static_cast<std::uint8_t>((startPosition + i) & 0xFF);
        to[i] = static_cast<char>(Reverse(in[i] ^ pos) ^ key);
    }
    return out;
}

QByteArray Descramble(const QByteArray &stored, std::uint8_t key, qint64 startPosition)
{
    QByteArray out(stored.size(), Qt::Uninitialized);
    const auto *in = reinterpret_cast<const std::uint8_t *>(stored.constData());
    char *to = out.data();
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const auto pos = static_cast<std::uint8_t>((startPosition + i) & 0xFF);
        to[i] = static_cast<char>(Reverse(in[i] ^ key) ^ pos);
    }
    return out;
}

QString Escape(const QString &text)
{
    QString s = text;
    s.replace(QLatin1String("&"), QLatin1String("&amp"));
    s.replace(QLatin1String("<"), QLatin1String("&lt"));
    s.replace(QLatin1String(">"), QLatin1String("&gt"));
    return s;
}

QString Unescape(const QString &text)
{
    // Every entity starts with "&"; most texts have none.
    if (!text.contains(QLatin1Char('&')))
        return text;
    QString s = text;
    s.replace(QLatin1String("&lt"), QLatin1String("<"));
    s.replace(QLatin1String("&gt"), QLatin1String(">"));
    s.replace(QLatin1String("&amp"), QLatin1String("&"));
    return s;
}

QString MonthlyFileName(int year, int month)
{
    if (year < 1000 || year > 9999 || month < 1 || month > 12)
        return {};
    return QString::asprintf("msg%04d%02d.cvm", year, month);
}

namespace {

// Bytes of the header a file of that name starts with.
int HeaderLength(const QByteArray &text, const QString &fileName)
{
    const QByteArray header = fileName.toLatin1();
    return text.startsWith(header) && fileName.startsWith(QLatin1String("msg")) ? int(header.size()) : 0;
}

const QByteArray &RecordStart()
{
    static const QByteArray begin = QByteArray("<") + kBegin;
    return begin;
}

} // namespace

int FirstStrayByte(const QByteArray &text, const QString &fileName)
{
    const QByteArray &begin = RecordStart();
    const QByteArray end = kEnd;
    int pos = HeaderLength(text, fileName);
    while (pos < text.size()) {
        if (text.mid(pos, begin.size()) != begin)
            return pos;
        const int stop = int(text.indexOf(end, pos + begin.size()));
        const int nextBegin = int(text.indexOf(begin, pos + begin.size()));
        if (stop < 0 || (nextBegin >= 0 && nextBegin < stop))
            return pos;
        pos = stop + int(end.size());
    }
    return -1;
}

int LeadLength(const QString &fileName)
{
    return int(fileName.toLatin1().size() + RecordStart().size());
}

bool LeadIsSound(const QByteArray &lead, const QString &fileName)
{
    const QByteArray rest = lead.mid(HeaderLength(lead, fileName));
    const QByteArray &begin = RecordStart();
    return rest.startsWith(begin) || begin.startsWith(rest);
}

} // namespace MessageCodec
