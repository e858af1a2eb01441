#include "storage/CCorvFile.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "storage/HistoryCodec.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QSaveFile>

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace DataFile {
namespace {

quint8 KeyByteK(const Key &k)
{
    return static_cast<quint8>(k[1] * k[0] + k[3] * k[2] + k[4]);
}

quint8 InitialChain(const Key &k)
{
    return static_cast<quint8>(k[0] * k[1] * k[2] + k[3] * k[4]);
}

quint8 PositionMask(qint64 i)
{
    return static_cast<quint8>(i ^ (i >> 8));
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

QByteArray TimeField(qint64 seconds)
{
    const CvTime::LocalFields f = CvTime::ToLocal(seconds);
    return QString::asprintf("%4d%2d%2d%2d%2d%2d", f.year, f.month, f.day, f.hour, f.minute, f.second)
        .toLatin1();
}

// Empty when the fields name no valid local time.
std::optional<qint64> ReadTimeField(const char *p)
{
    CvTime::LocalFields f;
    f.year = static_cast<int>(ReadInteger(p, 4));
    f.month = static_cast<int>(ReadInteger(p + 4, 2));
    f.day = static_cast<int>(ReadInteger(p + 6, 2));
    f.hour = static_cast<int>(ReadInteger(p + 8, 2));
    f.minute = static_cast<int>(ReadInteger(p + 10, 2));
    f.second = static_cast<int>(ReadInteger(p + 12, 2));
    return CvTime::FromLocal(f);
}

// The name cut to at most 32 bytes of UTF-8 without splitting a character, blank-padded.
QByteArray NameField(const QString &name)
{
    QByteArray out;
    for (int i = 0; i < name.size(); ++i) {
        int len = 1;
        if (name.at(i).isHighSurrogate() && i + 1 < name.size())
            len = 2;
        const QByteArray piece = name.mid(i, len).toUtf8();
        if (out.size() + piece.size() > kNameWidth)
            break;
        out += piece;
        i += len - 1;
    }
    return out.leftJustified(kNameWidth, ' ');
}

} // namespace

QByteArray Scramble(const QByteArray &plain, const Key &key)
{
    const quint8 k = KeyByteK(key);
    quint8 p = InitialChain(key);
    QByteArray out(plain.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < plain.size(); ++i) {
        const quint8 c = static_cast<quint8>(plain[i]);
        const quint8 m = PositionMask(i);
        quint8 x = c;
        for (int b = 0; b < 8; ++b) {
            if (m & (1 << (7 - b)))
                x ^= static_cast<quint8>(0x80 >> b);
            x = static_cast<quint8>((x << 1) | (x >> 7));
        }
        out[i] = static_cast<char>(x ^ k ^ p);
        p = c;
    }
    return out;
}

QByteArray Unscramble(const QByteArray &stored, const Key &key)
{
    const quint8 k = KeyByteK(key);
    quint8 p = InitialChain(key);
    QByteArray out(stored.size(), Qt::Uninitialized);
    for (qsizetype i = 0; i < stored.size(); ++i) {
        const quint8 m = PositionMask(i);
        quint8 x = static_cast<quint8>(static_cast<quint8>(stored[i]) ^ k ^ p);
        for (int b = 0; b < 8; ++b) {
            x = static_cast<quint8>((x >> 1) | (x << 7));
            if (m & (1 << b))
                x ^= static_cast<quint8>(1 << b);
        }
        out[i] = static_cast<char>(x);
        p = x;
    }
    return out;
}

QByteArray ValueField(double value)
{
    // printf's "%4.2f" in the C locale: an exact tie such as 0.125 rounds to even (0.12) and a
    // negative zero keeps its sign. Qt's own formatting rounds ties up, and snprintf would
    // follow the process locale's decimal separator.
    char buffer[400];
    const std::to_chars_result r =
        std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::fixed, 2);
    QByteArray text = r.ec == std::errc() ? QByteArray(buffer, static_cast<qsizetype>(r.ptr - buffer))
                                          : QByteArray(kValueWidth, ' ');
    if (text.size() > kValueWidth)
        text.truncate(kValueWidth);
    return text.leftJustified(kValueWidth, ' ');
}

double ReadDecimal(const char *field, int width)
{
    int i = 0;
    while (i < width && IsBlank(field[i]))
        ++i;
    const int start = i;
    if (i < width && (field[i] == '+' || field[i] == '-'))
        ++i;
    int digits = 0;
    while (i < width && field[i] >= '0' && field[i] <= '9')
        ++i, ++digits;
    if (i < width && field[i] == '.') {
        ++i;
        while (i < width && field[i] >= '0' && field[i] <= '9')
            ++i, ++digits;
    }
    if (digits == 0)
        return 0.0;
    if (i < width && (field[i] == 'e' || field[i] == 'E')) {
        int j = i + 1;
        if (j < width && (field[j] == '+' || field[j] == '-'))
            ++j;
        if (j < width && field[j] >= '0' && field[j] <= '9') {
            while (j < width && field[j] >= '0' && field[j] <= '9')
                ++j;
            i = j;
        }
    }
    bool ok = false;
    const double v = QByteArray(field + start, i - start).toDouble(&ok);
    return ok ? v : 0.0;
}

qint64 ReadInteger(const char *field, int width)
{
    int i = 0;
    while (i < width && IsBlank(field[i]))
        ++i;
    bool negative = false;
    if (i < width && (field[i] == '+' || field[i] == '-'))
        negative = field[i++] == '-';
    qint64 v = 0;
    for (; i < width && field[i] >= '0' && field[i] <= '9'; ++i) {
        if (v > (std::numeric_limits<qint64>::max() - 9) / 10)
            return 0; // beyond any field width this format uses
        v = v * 10 + (field[i] - '0');
    }
    return negative ? -v : v;
}

QByteArray BuildText(const CNodeDataSave &s)
{
    if (!s.HasRange() || static_cast<qint64>(s.rangeFirst) + s.rangeCount > CNodeDataSave::kCapacity)
        return {};
    const int first = s.rangeFirst;
    const int last = first + s.rangeCount - 1;
    QByteArray text;
    text.reserve(kHeaderChars + s.rangeCount * 2 * kValueWidth);
    text += NameField(s.name);
    text += s.nodeKey.toUtf8();
    text += QByteArray::number(s.deviceType).rightJustified(3, ' ');
    text += TimeField(s.times()[first]);
    text += TimeField(s.times()[last]);
    text += QByteArray::number(s.interval).rightJustified(5, ' ');
    text += QByteArray::number(s.rangeCount).rightJustified(6, ' ');
    for (const float v : {s.ch1Min, s.ch1Max, s.ch1Avg, s.ch2Min, s.ch2Max, s.ch2Avg})
        text += ValueField(v);
    text += QByteArray::number(s.alarmFlag).rightJustified(3, ' ');
    for (const float v : {s.ch1Lower, s.ch1Upper, s.ch2Lower, s.ch2Upper})
        text += ValueField(v);
    // A field wider than its column (an interval over 99999 s, a node key of another length)
    // would shift every later field: such a file could not be read back, so none is made.
    if (text.size() != kHeaderChars)
        return {};
    const bool has1 = HistoryCodec::HasChannel1(s.deviceType);
    const bool has2 = HistoryCodec::HasChannel2(s.deviceType);
    for (int k = first; k <= last; ++k) {
        if (has1)
            text += ValueField(s.ch1()[k]);
        if (has2)
            text += ValueField(s.ch2()[k]);
    }
    return text;
}

QByteArray BuildFile(const CNodeDataSave &store, const Key &key)
{
    const QByteArray text = BuildText(store);
    if (text.isEmpty())
        return {};
    QByteArray file(reinterpret_cast<const char *>(key.data()), kKeyBytes);
    file += Scramble(text, key);
    return file;
}

Fault ReadFile(const QByteArray &file, CNodeDataSave &store)
{
    const qint64 length = file.size();
    if (length <= kMinimumLength)
        return Fault::TooShort;
    Key key;
    for (int i = 0; i < kKeyBytes; ++i)
        key[i] = static_cast<quint8>(file[i]);
    const QByteArray text = Unscramble(file.mid(kKeyBytes), key);
    if (text.size() != length - kKeyBytes)
        return Fault::TooShort;
    const char *p = text.constData();

    const QString name = QString::fromUtf8(p, kNameWidth).trimmed();
    p += kNameWidth;
    const QString nodeKey = QString::fromUtf8(p, kNodeKeyWidth);
    p += kNodeKeyWidth;
    const qint64 typeValue = ReadInteger(p, 3);
    const quint8 type = (typeValue >= 0 && typeValue <= 255) ? static_cast<quint8>(typeValue) : 0;
    p += 3;
    const std::optional<qint64> start = ReadTimeField(p);
    p += 14;
    const std::optional<qint64> end = ReadTimeField(p);
    p += 14;
    const qint64 interval = ReadInteger(p, 5);
    p += 5;
    const qint64 n = ReadInteger(p, 6);
    p += 6;
    bool finite = true;
    // A value too large for a float reads as infinity: no logger measures that.
    const auto value = [&p, &finite] {
        const auto v = static_cast<float>(ReadDecimal(p, kValueWidth));
        p += kValueWidth;
        finite = finite && std::isfinite(v);
        return v;
    };
    float stats[6];
    for (float &v : stats)
        v = value();
    const qint64 alarmValue = ReadInteger(p, 3);
    p += 3;
    float limits[4];
    for (float &v : limits)
        v = value();

    const int channels = HistoryCodec::ChannelCount(type);
    // A file must carry samples the store can hold; one announcing more than the store's
    // capacity, none at all, or a type without channels is refused whole.
    if (channels == 0)
        return Fault::NoChannels;
    if (n < 1 || n > CNodeDataSave::kCapacity)
        return Fault::BadCount;
    if ((length - kMinimumLength) / kValueWidth != n * channels)
        return Fault::SizeMismatch;
    if (!start || !end)
        return Fault::BadDate;
    // Sample times must run forwards.
    if (interval < 1)
        return Fault::BadInterval;

    const bool has1 = HistoryCodec::HasChannel1(type);
    const bool has2 = HistoryCodec::HasChannel2(type);
    const int count = static_cast<int>(n);
    std::vector<float> samples1(has1 ? count : 0), samples2(has2 ? count : 0);
    for (int i = 0; i < count; ++i) {
        if (has1)
            samples1[i] = value();
        if (has2)
            samples2[i] = value();
    }
    if (!finite)
        return Fault::BadValue;
    std::copy(samples1.begin(), samples1.end(), store.ch1());
    std::copy(samples2.begin(), samples2.end(), store.ch2());
    store.name = name;
    store.nodeKey = nodeKey;
    store.deviceType = type;
    store.recordStart = *start;
    store.recordEnd = *end;
    store.interval = interval;
    store.rangeFirst = 0;
    store.rangeCount = count;
    store.ch1Min = stats[0];
    store.ch1Max = stats[1];
    store.ch1Avg = stats[2];
    store.ch2Min = stats[3];
    store.ch2Max = stats[4];
    store.ch2Avg = stats[5];
    store.alarmFlag = (alarmValue >= 0 && alarmValue <= 255) ? static_cast<quint8>(alarmValue) : 0;
    store.ch1Lower = limits[0];
    store.ch1Upper = limits[1];
    store.ch2Lower = limits[2];
    store.ch2Upper = limits[3];
    store.ch1Count = has1 ? count : 0;
    store.ch2Count = has2 ? count : 0;
    for (int i = 0; i < count; ++i)
        store.times()[i] = *start + i * interval;
    return Fault::None;
}

int ParseFile(const QByteArray &file, CNodeDataSave &store)
{
    return ReadFile(file, store) == Fault::None ? 1 : 0;
}

QString FaultText(Fault fault)
{
    switch (fault) {
    case Fault::None:
        return QStringLiteral("no fault");
    case Fault::Unreadable:
        return QStringLiteral("the file cannot be read or is larger than any data file");
    case Fault::TooShort:
        return QStringLiteral("the file is too short for a data file");
    case Fault::NoChannels:
        return QStringLiteral("the device type has no channel");
    case Fault::BadCount:
        return QStringLiteral("the sample count is 0 or more than a record holds");
    case Fault::SizeMismatch:
        return QStringLiteral("the file size does not match the sample count and channels");
    case Fault::BadDate:
        return QStringLiteral("the start or end is no valid date and time");
    case Fault::BadInterval:
        return QStringLiteral("the recording interval is below 1 second");
    case Fault::BadValue:
        return QStringLiteral("a value is too large to be a measurement");
    }
    return {};
}

} // namespace DataFile

namespace {

const QString kOpenSection = QStringLiteral("lastdatafilepath");
const QString kOpenKey = QStringLiteral("datafilepath");
const QString kSaveSection = QStringLiteral("lastdatafilesavepath");
const QString kSaveKey = QStringLiteral("datafilesavepath");

// The longest file a valid data file can be: the header and two channels at full capacity,
// plus the remainder the length rule tolerates.
constexpr qint64 kMaxFileLength = DataFile::kMinimumLength +
                                  qint64(2) * CNodeDataSave::kCapacity * DataFile::kValueWidth +
                                  DataFile::kValueWidth - 1;

QString FolderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

} // namespace

int CCorvFile::SaveDataFile(const QString &path)
{
    for (quint8 &b : m_key)
        b = static_cast<quint8>(QRandomGenerator::system()->generate());
    const QByteArray bytes = DataFile::BuildFile(m_store, m_key);
    if (bytes.isEmpty())
        return 0;
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        return 0;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return 0;
    }
    return file.commit() ? 1 : 0;
}

int CCorvFile::OpenDataFile(const QString &path)
{
    m_fault = DataFile::Fault::Unreadable;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const qint64 size = file.size();
    if (size > kMaxFileLength)
        return 0;
    const QByteArray bytes = file.readAll();
    if (bytes.size() != size)
        return 0;
    m_fault = DataFile::ReadFile(bytes, m_store);
    if (m_fault == DataFile::Fault::TooShort)
        return 0;
    for (int i = 0; i < DataFile::kKeyBytes; ++i)
        m_key[i] = static_cast<quint8>(bytes[i]);
    return m_fault == DataFile::Fault::None ? 1 : 0;
}

int CCorvFile::OpenChosenDataFile(const QString &path)
{
    if (QFileInfo(path).suffix() != QLatin1String("cvdf"))
        return 0;
    const int result = OpenDataFile(path);
    RememberOpenFolder(path);
    return result;
}

QString CCorvFile::RememberedOpenFolder()
{
    return AppSettings::Instance().ReadKey(kOpenSection, kOpenKey);
}

QString CCorvFile::RememberedSaveFolder()
{
    return AppSettings::Instance().ReadKey(kSaveSection, kSaveKey);
}

bool CCorvFile::RememberOpenFolder(const QString &chosenPath)
{
    return AppSettings::Instance().WriteKey(kOpenSection, kOpenKey, FolderOf(chosenPath));
}

bool CCorvFile::RememberSaveFolder(const QString &chosenPath)
{
    return AppSettings::Instance().WriteKey(kSaveSection, kSaveKey, FolderOf(chosenPath));
}

QString CCorvFile::InitialFolder(const QString &remembered)
{
    if (!remembered.isEmpty() && QFileInfo(remembered).isDir())
        return remembered;
    const QString folder = AppSettings::Instance().DataSaveFolder();
    QDir().mkpath(folder);
    return folder;
}
