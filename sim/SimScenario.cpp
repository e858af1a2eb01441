// Scenario files: the JSON description of a receiver and the network behind it.
#include "SimNetwork.h"

#include <QJsonArray>
#include <QSet>

#include <cmath>
#include <limits>

using namespace FrameCodec;

namespace {

// Reads typed fields of one JSON object and keeps the first error, prefixed with where it was.
class FieldReader {
public:
    FieldReader(const QJsonObject &object, QString where, QString *error)
        : object_(object), where_(std::move(where)), error_(error)
    {
    }

    bool Fail(const QString &message)
    {
        if (error_)
            *error_ = where_.isEmpty() ? message : where_ + QStringLiteral(": ") + message;
        return false;
    }

    [[nodiscard]] bool Has(const char *key) const
    {
        const QJsonValue v = object_.value(QLatin1String(key));
        return !v.isUndefined() && !v.isNull();
    }

    bool Number(const char *key, double &out, double min, double max)
    {
        const QJsonValue v = object_.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull())
            return true;
        if (!v.isDouble() || !std::isfinite(v.toDouble()) || v.toDouble() < min || v.toDouble() > max)
            return Fail(QStringLiteral("\"%1\" must be a number from %2 to %3")
                            .arg(QLatin1String(key))
                            .arg(min)
                            .arg(max));
        out = v.toDouble();
        return true;
    }

    template <typename T> bool Integer(const char *key, T &out, qint64 min, qint64 max)
    {
        double d = static_cast<double>(out);
        if (!Number(key, d, static_cast<double>(min), static_cast<double>(max)))
            return false;
        if (d != std::floor(d))
            return Fail(QStringLiteral("\"%1\" must be a whole number").arg(QLatin1String(key)));
        out = static_cast<T>(d);
        return true;
    }

    bool Bool(const char *key, bool &out)
    {
        const QJsonValue v = object_.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull())
            return true;
        if (!v.isBool())
            return Fail(QStringLiteral("\"%1\" must be true or false").arg(QLatin1String(key)));
        out = v.toBool();
        return true;
    }

    bool Address(const char *key, ExtAddress &out, bool required)
    {
        const QJsonValue v = object_.value(QLatin1String(key));
        if (v.isUndefined() || v.isNull())
            return required ? Fail(QStringLiteral("\"%1\" is missing").arg(QLatin1String(key))) : true;
        const auto address = AddressFromText(v.toString());
        if (!address)
            return Fail(QStringLiteral("\"%1\" must be 16 hexadecimal digits").arg(QLatin1String(key)));
        out = *address;
        return true;
    }

    // A byte given as a number or as text ("0x8C", "140").
    bool Byte(const char *key, quint8 &out)
    {
        const QJsonValue v = object_.value(QLatin1String(key));
        if (v.isString()) {
            bool ok = false;
            const uint value = v.toString().toUInt(&ok, 0);
            if (!ok || value > 0xFF)
                return Fail(QStringLiteral("\"%1\" must be a byte").arg(QLatin1String(key)));
            out = static_cast<quint8>(value);
            return true;
        }
        return Integer(key, out, 0, 0xFF);
    }

    [[nodiscard]] QJsonValue Value(const char *key) const { return object_.value(QLatin1String(key)); }

private:
    QJsonObject object_;
    QString where_;
    QString *error_;
};

constexpr qint64 kMaxSpan = 10LL * 366 * 24 * 3600; // ten years, in seconds
constexpr int kDefaultGprsCapacity = 64;

bool IsKnownType(quint8 type)
{
    return type == SimType::kRouter || type == SimType::kSingleTemp || type == SimType::kDualTemp ||
           type == SimType::kTempHumidity;
}

bool ReadRadio(const QJsonObject &json, SimRadio &radio, std::vector<QString> &unreachable, QString *error)
{
    FieldReader r(json, QStringLiteral("radio"), error);
    QJsonArray delay;
    if (r.Value("delayMs").isArray()) {
        delay = r.Value("delayMs").toArray();
        if (delay.size() != 2 || !delay[0].isDouble() || !delay[1].isDouble() || delay[0].toInt() < 0 ||
            delay[1].toInt() < delay[0].toInt() || delay[1].toInt() > 60000)
            return r.Fail(QStringLiteral("\"delayMs\" must be [min, max] with 0 <= min <= max <= 60000"));
        radio.delayMinMs = delay[0].toInt();
        radio.delayMaxMs = delay[1].toInt();
    }
    if (!r.Integer("receiverDelayMs", radio.receiverDelayMs, 0, 60000) ||
        !r.Integer("scanStepMs", radio.scanStepMs, 0, 60000) ||
        !r.Integer("blockSize", radio.blockSize, 1, 255) ||
        !r.Integer("blockGapMs", radio.blockGapMs, 0, 60000) ||
        !r.Integer("rejoinSeconds", radio.rejoinSeconds, 0, 86400) || !r.Number("loss", radio.loss, 0, 1) ||
        !r.Number("corrupt", radio.corrupt, 0, 1) || !r.Number("noise", radio.noise, 0, 1) ||
        !r.Integer("split", radio.split, 0, 4096))
        return false;
    const QJsonValue list = r.Value("unreachable");
    if (!list.isUndefined()) {
        if (!list.isArray())
            return r.Fail(QStringLiteral("\"unreachable\" must be a list of node addresses or names"));
        for (const QJsonValue &v : list.toArray())
            unreachable.push_back(v.toString());
    }
    return true;
}

bool ReadGprs(const QJsonObject &json, SimGprs &gprs, QString *error)
{
    FieldReader r(json, QStringLiteral("gprs"), error);
    const QString module = r.Value("module").toString(QStringLiteral("ok"));
    if (module == QLatin1String("ok"))
        gprs.module = SimGprs::Module::Ok;
    else if (module == QLatin1String("fault"))
        gprs.module = SimGprs::Module::Fault;
    else if (module == QLatin1String("none"))
        gprs.module = SimGprs::Module::None;
    else
        return r.Fail(QStringLiteral("\"module\" must be \"ok\", \"fault\" or \"none\""));
    int capacity = kDefaultGprsCapacity;
    if (!r.Integer("capacity", capacity, 0, 0xFFFF))
        return false;
    gprs.entries.assign(static_cast<std::size_t>(capacity), SimGprs::Entry{});

    const QJsonArray phones = r.Value("phones").toArray();
    if (phones.size() > static_cast<int>(gprs.phones.size()))
        return r.Fail(QStringLiteral("at most 10 phone numbers"));
    int mask = 0;
    for (int i = 0; i < phones.size(); ++i) {
        if (phones[i].isNull())
            continue;
        const QByteArray number = phones[i].toString().toLatin1();
        if (number.isEmpty() || number.size() > 16)
            return r.Fail(QStringLiteral("phone %1 must be 1 to 16 characters").arg(i + 1));
        std::copy(number.begin(), number.end(), gprs.phones[static_cast<std::size_t>(i)].begin());
        mask |= 1 << i;
    }
    gprs.slotMask = mask;
    if (!r.Integer("slotMask", gprs.slotMask, 0, 0x3FF))
        return false;

    const QJsonArray loggers = r.Value("loggers").toArray();
    if (loggers.size() > capacity)
        return r.Fail(QStringLiteral("more loggers than the capacity of %1").arg(capacity));
    for (int i = 0; i < loggers.size(); ++i) {
        FieldReader e(loggers[i].toObject(), QStringLiteral("gprs.loggers[%1]").arg(i), error);
        SimGprs::Entry &entry = gprs.entries[static_cast<std::size_t>(i)];
        const QByteArray info = e.Value("info").toString().toUtf8();
        if (info.size() > 48)
            return e.Fail(QStringLiteral("\"info\" is longer than 48 bytes"));
        std::copy(info.begin(), info.end(), entry.info.begin());
        if (!e.Address("address", entry.address, true) || !e.Integer("bind", entry.bindMask, 0, 0x3FF))
            return false;
    }
    gprs.loggerCount = static_cast<int>(loggers.size());
    return r.Integer("loggerCount", gprs.loggerCount, 0, capacity);
}

bool ReadRecording(FieldReader &r, const QJsonObject &json, SimNode &node, qint64 nowSec, qint64 &stopAt)
{
    SimRecording &out = node.rec;
    qint64 start = 0;
    qint64 startAgo = -1;
    qint64 stopAgo = -1;
    // Errors go through the node's reader so that they name the node.
    const auto fail = [&](const QString &m) { return r.Fail(QStringLiteral("recording: ") + m); };
    const auto integer = [&](const char *key, qint64 &v, qint64 min, qint64 max) {
        const QJsonValue j = json.value(QLatin1String(key));
        if (j.isUndefined())
            return true;
        if (!j.isDouble() || j.toDouble() < static_cast<double>(min) ||
            j.toDouble() > static_cast<double>(max) || j.toDouble() != std::floor(j.toDouble()))
            return fail(QStringLiteral("\"%1\" must be a whole number from %2 to %3")
                            .arg(QLatin1String(key))
                            .arg(min)
                            .arg(max));
        v = static_cast<qint64>(j.toDouble());
        return true;
    };
    qint64 interval = 0;
    qint64 capacity = out.capacity;
    if (!integer("start", start, 1, std::numeric_limits<qint32>::max()) ||
        !integer("startAgo", startAgo, 0, kMaxSpan) || !integer("stopAgo", stopAgo, 0, kMaxSpan) ||
        !integer("interval", interval, 1, 0xFFFFFF) || !integer("capacity", capacity, 0, 0xFFFFFF))
        return false;
    if (json.contains(QLatin1String("start")) == (startAgo >= 0))
        return fail(QStringLiteral("give exactly one of \"start\" and \"startAgo\""));
    if (interval == 0)
        return fail(QStringLiteral("\"interval\" is missing"));
    const QJsonValue alarmValue = json.value(QLatin1String("alarm"));
    if (!alarmValue.isUndefined() && !alarmValue.isBool())
        return fail(QStringLiteral("\"alarm\" must be true or false"));
    const bool alarm = alarmValue.toBool(false);
    const QJsonValue limits = json.value(QLatin1String("limits"));
    if (!limits.isUndefined()) {
        const QJsonArray l = limits.toArray();
        if (l.size() != 4)
            return fail(QStringLiteral("\"limits\" must hold four numbers (channel 1 lower, upper, "
                                       "channel 2 lower, upper)"));
        for (int i = 0; i < 4; ++i) {
            if (!l[i].isDouble() || std::fabs(l[i].toDouble()) > 327.67)
                return fail(QStringLiteral("limit %1 must be a number within +-327.67").arg(i + 1));
            out.limits[static_cast<std::size_t>(i)] = static_cast<float>(l[i].toDouble());
        }
    } else if (alarm) {
        return fail(QStringLiteral("an alarm needs \"limits\""));
    }
    out.start = startAgo >= 0 ? nowSec - startAgo : start;
    out.interval = interval;
    out.alarmMode = alarm ? 4 : 0;
    out.capacity = static_cast<int>(capacity);
    out.nextSample = out.start;
    out.runState = out.start > nowSec ? 1 : 2;
    stopAt = stopAgo >= 0 ? nowSec - stopAgo : -1;
    if (stopAt >= 0 && stopAt < out.start)
        return fail(QStringLiteral("\"stopAgo\" lies before the start"));
    return true;
}

bool ReadNode(const QJsonObject &json, int index, qint64 nowSec, SimNode &node, QString &parentRef,
              qint64 &stopAt, QString *error)
{
    node.name = json.value(QLatin1String("name")).toString();
    FieldReader r(json, node.name.isEmpty() ? QStringLiteral("nodes[%1]").arg(index) : node.name, error);
    double rf = node.rfLevel;
    int shortAddress = -1;
    qint64 joinAfter = 0;
    bool reachable = true;
    if (!r.Address("address", node.address, true) || !r.Byte("type", node.type))
        return false;
    if (!IsKnownType(node.type))
        return r.Fail(QStringLiteral("\"type\" must be 0x04, 0x80, 0x88 or 0x8C"));
    node.statusBits = node.IsRouter() ? 1 : 0;
    if (!r.Number("rf", rf, -128, 127) || !r.Integer("battery", node.battery, 0, 5) ||
        !r.Byte("status", node.statusBits) || !r.Integer("faults", node.faults, 0, 0x3C) ||
        !r.Number("loss", node.loss, 0, 1) || !r.Bool("reachable", reachable) ||
        !r.Bool("longGmd", node.longGmd) || !r.Integer("short", shortAddress, 1, 0xFFF0) ||
        !r.Integer("joinAfter", joinAfter, 0, kMaxSpan) ||
        !r.Integer("realtimeInterval", node.rtInterval, 0, 0xFFFFFF))
        return false;
    node.rfLevel = static_cast<qint8>(std::lround(rf));
    node.reachable = reachable;
    node.shortAddress = r.Has("short") ? shortAddress : -1;
    node.joinAt = nowSec + joinAfter;
    parentRef = json.value(QLatin1String("parent")).toString();
    stopAt = -1;
    if (!node.IsLogger()) {
        if (r.Has("channels") || r.Has("recording"))
            return r.Fail(QStringLiteral("a router has no channels and no recording"));
        return true;
    }
    const QJsonArray channels = json.value(QLatin1String("channels")).toArray();
    const int wanted = node.HasChannel2() ? 2 : 1;
    if (channels.size() != wanted)
        return r.Fail(QStringLiteral("this logger type needs %1 channel value model(s)").arg(wanted));
    for (int c = 0; c < wanted; ++c) {
        QString modelError;
        auto model = ValueModel::FromJson(channels[c].toObject(), &modelError);
        if (!model)
            return r.Fail(QStringLiteral("channel %1: %2").arg(c + 1).arg(modelError));
        node.channels.push_back(*model);
    }
    node.rec.start = nowSec; // a logger that never recorded still reports a valid date
    const QJsonValue recording = json.value(QLatin1String("recording"));
    if (recording.isObject())
        return ReadRecording(r, recording.toObject(), node, nowSec, stopAt);
    if (!recording.isUndefined() && !recording.isNull())
        return r.Fail(QStringLiteral("\"recording\" must be an object"));
    return true;
}

} // namespace

std::optional<SimNetwork> SimNetwork::FromJson(const QJsonObject &json, qint64 nowSec, quint32 seed,
                                               QString *error)
{
    SimNetwork net;
    const QJsonObject receiver = json.value(QLatin1String("receiver")).toObject();
    FieldReader r(receiver, QStringLiteral("receiver"), error);
    double rf = 0;
    if (!json.value(QLatin1String("receiver")).isObject())
        return r.Fail(QStringLiteral("the scenario has no receiver object")), std::nullopt;
    if (!r.Address("address", net.receiver_.address, true) || !r.Byte("status", net.receiver_.status) ||
        !r.Number("rf", rf, -128, 127) || !r.Integer("battery", net.receiver_.battery, 0, 5) ||
        !r.Integer("faults", net.receiver_.faults, 0, 0x3C))
        return std::nullopt;
    net.receiver_.rfLevel = static_cast<qint8>(std::lround(rf));

    std::vector<QString> unreachable;
    net.gprs_.entries.assign(kDefaultGprsCapacity, SimGprs::Entry{});
    if (!ReadRadio(json.value(QLatin1String("radio")).toObject(), net.radio_, unreachable, error) ||
        !ReadGprs(json.value(QLatin1String("gprs")).toObject(), net.gprs_, error))
        return std::nullopt;

    const QJsonArray nodes = json.value(QLatin1String("nodes")).toArray();
    std::vector<QString> parents;
    std::vector<qint64> stops;
    QSet<QString> names;
    for (int i = 0; i < nodes.size(); ++i) {
        SimNode node;
        QString parent;
        qint64 stopAt = -1;
        if (!nodes[i].isObject()) {
            if (error)
                *error = QStringLiteral("nodes[%1] is not an object").arg(i);
            return std::nullopt;
        }
        if (!ReadNode(nodes[i].toObject(), i, nowSec, node, parent, stopAt, error))
            return std::nullopt;
        const QString where = node.name.isEmpty() ? QStringLiteral("nodes[%1]").arg(i) : node.name;
        const auto fail = [&](const QString &m) {
            if (error)
                *error = where + QStringLiteral(": ") + m;
            return std::nullopt;
        };
        if (node.address == net.receiver_.address || net.FindByAddress(node.address) >= 0)
            return fail(QStringLiteral("address %1 is used twice").arg(AddressToText(node.address)));
        if (node.shortAddress >= 0 && net.FindByShort(node.shortAddress) >= 0)
            return fail(QStringLiteral("short address %1 is used twice").arg(node.shortAddress));
        if (!node.name.isEmpty() && names.contains(node.name))
            return fail(QStringLiteral("the name is used twice"));
        names.insert(node.name);
        net.nodes_.push_back(std::move(node));
        parents.push_back(parent);
        stops.push_back(stopAt);
    }

    for (std::size_t i = 0; i < net.nodes_.size(); ++i) {
        SimNode &node = net.nodes_[i];
        const QString &ref = parents[i];
        const auto receiverAddress = AddressFromText(ref);
        if (ref.isEmpty() || (receiverAddress && *receiverAddress == net.receiver_.address))
            continue;
        const int parent = net.FindNode(ref);
        if (parent < 0 || parent == static_cast<int>(i) ||
            !net.nodes_[static_cast<std::size_t>(parent)].IsRouter()) {
            if (error)
                *error = QStringLiteral("%1: parent \"%2\" is not the receiver or a router")
                             .arg(node.name.isEmpty() ? AddressToText(node.address) : node.name, ref);
            return std::nullopt;
        }
        node.parent = parent;
    }
    // A chain of routers that loops back never reaches the receiver.
    for (std::size_t i = 0; i < net.nodes_.size(); ++i) {
        int steps = 0;
        for (int p = net.nodes_[i].parent; p >= 0; p = net.nodes_[static_cast<std::size_t>(p)].parent) {
            if (++steps > static_cast<int>(net.nodes_.size())) {
                if (error)
                    *error = QStringLiteral("the routers' parents form a loop");
                return std::nullopt;
            }
        }
    }
    for (const QString &ref : unreachable) {
        const int node = net.FindNode(ref);
        if (node < 0) {
            if (error)
                *error = QStringLiteral("radio: unreachable node \"%1\" does not exist").arg(ref);
            return std::nullopt;
        }
        net.nodes_[static_cast<std::size_t>(node)].reachable = false;
    }

    for (std::size_t i = 0; i < net.nodes_.size(); ++i) {
        SimNode &node = net.nodes_[i];
        for (std::size_t c = 0; c < node.channels.size(); ++c)
            node.channels[c].Seed(seed ^ (0x9E3779B9u * static_cast<quint32>(i * 4 + c + 1)));
        if (stops[i] >= 0) {
            net.RecordUpTo(node, stops[i]);
            node.rec.runState = 0;
        }
    }
    net.Update(nowSec);
    return net;
}
