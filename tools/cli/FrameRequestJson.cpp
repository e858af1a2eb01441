// The request JSON of "frame request" turned into the 64-byte request buffer the link builds.
#include "FrameRequestJson.h"

#include "link/AffairReply.h"
#include "link/AffairRequest.h"
#include "link/FrameCodec.h"
#include "link/RequestFrames.h"

#include <QJsonDocument>
#include <QJsonObject>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <limits>

namespace {

const QStringList kKnownKeys = {
    QStringLiteral("step"),
    QStringLiteral("addrMode"),
    QStringLiteral("shortAddress"),
    QStringLiteral("extAddress"),
    QStringLiteral("now"),
    QStringLiteral("startTime"),
    QStringLiteral("logInterval"),
    QStringLiteral("alarmMode"),
    QStringLiteral("limit1"),
    QStringLiteral("limit2"),
    QStringLiteral("limit3"),
    QStringLiteral("limit4"),
    QStringLiteral("rtInterval"),
    QStringLiteral("blockAddress"),
    QStringLiteral("blockRemaining"),
    QStringLiteral("gprsLoggerCount"),
    QStringLiteral("gprsIndex"),
    QStringLiteral("gprsLoggerAddress"),
    QStringLiteral("gprsInfo"),
    QStringLiteral("gprsBindMask"),
    QStringLiteral("phoneSlotMask"),
    QStringLiteral("phoneSlotIndex"),
    QStringLiteral("phoneNumber"),
};

// Reads the request's fields from the JSON object; the first problem found is kept in error.
class Reader {
public:
    explicit Reader(const QJsonObject &o) : m_o(o) {}

    // An integer field within [low, high]; fallback when absent.
    qint64 Int(const char *key, qint64 low, qint64 high, qint64 fallback)
    {
        const QJsonValue v = m_o.value(QLatin1String(key));
        if (v.isUndefined())
            return fallback;
        const double d = v.toDouble(std::nan(""));
        if (!v.isDouble() || std::floor(d) != d || d < double(low) || d > double(high)) {
            Fail(QStringLiteral("%1 must be an integer from %2 to %3")
                     .arg(QLatin1String(key))
                     .arg(low)
                     .arg(high));
            return fallback;
        }
        return qint64(d);
    }

    float Float(const char *key)
    {
        const QJsonValue v = m_o.value(QLatin1String(key));
        if (v.isUndefined())
            return 0.0f;
        if (!v.isDouble() || !std::isfinite(v.toDouble())) {
            Fail(QStringLiteral("%1 must be a number").arg(QLatin1String(key)));
            return 0.0f;
        }
        return float(v.toDouble());
    }

    // A text field of bytes: "hex" (2 digits a byte) or "text" (ASCII), at most size bytes,
    // zero-padded; an address must have exactly 16 hexadecimal digits.
    template <size_t N> void Bytes(const char *key, std::array<quint8, N> &out, bool hex, bool exact)
    {
        const QJsonValue v = m_o.value(QLatin1String(key));
        if (v.isUndefined())
            return;
        const QString text = v.toString();
        QByteArray bytes;
        bool ok = v.isString();
        if (ok && hex) {
            const QByteArray latin = text.toLatin1();
            ok = text.size() % 2 == 0 &&
                 std::all_of(latin.begin(), latin.end(), [](char c) { return std::isxdigit(quint8(c)); });
            bytes = QByteArray::fromHex(latin);
        } else if (ok) {
            bytes = text.toLatin1();
            ok = QString::fromLatin1(bytes) == text;
        }
        if (!ok || bytes.size() > int(N) || (exact && bytes.size() != int(N))) {
            Fail(QStringLiteral("%1 must be %2 of %3 %4 bytes")
                     .arg(QLatin1String(key),
                          hex ? QStringLiteral("hexadecimal text") : QStringLiteral("text"),
                          exact ? QStringLiteral("exactly") : QStringLiteral("at most"))
                     .arg(N));
            return;
        }
        out.fill(0);
        std::copy(bytes.begin(), bytes.end(), out.begin());
    }

    [[nodiscard]] bool Has(const char *key) const { return m_o.contains(QLatin1String(key)); }
    [[nodiscard]] const QString &Error() const { return m_error; }

private:
    void Fail(const QString &text)
    {
        if (m_error.isEmpty())
            m_error = text;
    }

    const QJsonObject &m_o;
    QString m_error;
};

// The parameters the request's frames carry: times, limits, intervals, the download block and
// the GPRS fields.
void ReadParameters(Reader &in, AffairRequest &r)
{
    const qint64 timeLimit = std::numeric_limits<qint64>::max() / 2;
    r.startTime = in.Int("startTime", -timeLimit, timeLimit, 0);
    r.logInterval = in.Int("logInterval", 0, 0xFFFFFF, 0);
    r.alarmMode = quint8(in.Int("alarmMode", 0, 255, 0));
    r.limit1 = in.Float("limit1");
    r.limit2 = in.Float("limit2");
    r.limit3 = in.Float("limit3");
    r.limit4 = in.Float("limit4");
    r.rtInterval = in.Int("rtInterval", 0, 0xFFFFFF, 0);
    if (in.Has("blockAddress") || in.Has("blockRemaining")) {
        r.result = std::make_unique<AffairReply>();
        DownloadBlock &block = r.result->block.emplace();
        block.address = qint32(in.Int("blockAddress", 0, 0xFFFFFF, 0));
        block.total = qint32(in.Int("blockRemaining", 0, 0xFFFFFF, 0));
    }
    r.gprsLoggerCount = qint32(in.Int("gprsLoggerCount", 0, 0xFFFF, 0));
    r.gprsIndex = qint32(in.Int("gprsIndex", 0, 0xFFFF, 0));
    in.Bytes("gprsLoggerAddress", r.gprsLoggerAddress, true, true);
    in.Bytes("gprsInfo", r.gprsInfo, true, false);
    r.gprsBindMask = qint32(in.Int("gprsBindMask", 0, 0x3FF, 0));
    r.phoneSlotMask = qint32(in.Int("phoneSlotMask", 0, 0x3FF, 0));
    r.phoneSlotIndex = qint32(in.Int("phoneSlotIndex", 0, 0xFFFF, 0));
    in.Bytes("phoneNumber", r.phoneNumber, false, false);
}

} // namespace

FrameRequestResult BuildFrameRequest(const QByteArray &text, qint64 defaultNow)
{
    FrameRequestResult result;
    const auto fail = [&result](const QString &error) {
        result.error = error;
        return result;
    };
    QJsonParseError parseError{};
    const QJsonDocument doc = QJsonDocument::fromJson(text, &parseError);
    if (!doc.isObject())
        return fail(QStringLiteral("not a JSON object (%1)").arg(parseError.errorString()));
    const QJsonObject o = doc.object();
    for (auto it = o.begin(); it != o.end(); ++it) {
        if (!kKnownKeys.contains(it.key()))
            return fail(QStringLiteral("unknown field %1").arg(it.key()));
    }

    Reader in(o);
    AffairRequest r;
    if (!in.Has("step"))
        return fail(QStringLiteral("step is required"));
    const int stepNumber = int(in.Int("step", 0, 255, 0));
    const qint64 shortAddress = in.Int("shortAddress", 0, 0xFFFF, 0);
    r.shortAddress = {quint8(shortAddress >> 8), quint8(shortAddress)};
    r.addrMode = quint32(in.Int("addrMode", 0, 255, in.Has("shortAddress") ? 2 : 3));
    in.Bytes("extAddress", r.extAddress, true, true);
    const qint64 now = in.Int("now", std::numeric_limits<qint64>::min() / 2,
                              std::numeric_limits<qint64>::max() / 2, defaultNow);
    ReadParameters(in, r);
    if (!in.Error().isEmpty())
        return fail(in.Error());
    const std::optional<FrameCodec::Command> step = FrameCodec::CommandOfNumber(stepNumber);
    if (!step)
        return fail(QStringLiteral("step %1 is no request command").arg(stepNumber));
    r.step = *step;
    if (r.addrMode != 2 && r.addrMode != 3 && r.addrMode != 15)
        return fail(QStringLiteral("addrMode must be 2, 3 or 15"));

    // As the engine does when the frame is due.
    if (r.step == FrameCodec::Command::STN)
        RequestFrames::ApplyStartTimeRule(r, now);
    FrameCodec::RequestBuffer buffer{};
    if (!RequestFrames::Build(r, now, buffer))
        return fail(QStringLiteral("no frame for step %1").arg(stepNumber));

    QJsonObject &out = result.json;
    out.insert(QStringLiteral("step"), stepNumber);
    out.insert(QStringLiteral("code"), QString::fromLatin1(FrameCodec::CommandCode(r.step)));
    out.insert(QStringLiteral("length"), FrameCodec::RequestLength(buffer));
    if (r.step == FrameCodec::Command::STN)
        out.insert(QStringLiteral("startTime"), r.startTime);
    out.insert(QStringLiteral("hex"),
               QString::fromLatin1(
                   QByteArray(reinterpret_cast<const char *>(buffer.data()), int(buffer.size())).toHex()));
    return result;
}
