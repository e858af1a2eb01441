#include "SimControl.h"

#include "SimNetwork.h"
#include "SimReceiver.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

ControlResult Error(const QString &reason)
{
    return {false, false, QStringLiteral("error ") + reason};
}

bool ToNumber(const QString &text, double &out)
{
    bool ok = false;
    out = text.toDouble(&ok);
    return ok && std::isfinite(out);
}

bool ToInt(const QString &text, int &out)
{
    bool ok = false;
    out = text.toInt(&ok);
    return ok;
}

// The receiver's GPRS book as one JSON object: the slot mask, the ten numbers (digits up to the
// first zero byte) and the logger entries the PC wrote (address and bind mask).
QString GprsBookJson(SimReceiver &sim)
{
    const SimGprs &gprs = sim.Network().Gprs();
    QJsonArray phones;
    for (const auto &phone : gprs.phones) {
        const auto end = std::find(phone.begin(), phone.end(), quint8(0));
        phones.append(
            QString::fromLatin1(reinterpret_cast<const char *>(phone.data()), int(end - phone.begin())));
    }
    QJsonArray loggers;
    for (int i = 0; i < gprs.loggerCount && i < int(gprs.entries.size()); ++i) {
        const SimGprs::Entry &entry = gprs.entries[size_t(i)];
        loggers.append(QJsonObject{{QStringLiteral("address"), FrameCodec::AddressToText(entry.address)},
                                   {QStringLiteral("bindMask"), entry.bindMask}});
    }
    const QJsonObject book{{QStringLiteral("slotMask"), gprs.slotMask},
                           {QStringLiteral("phones"), phones},
                           {QStringLiteral("loggers"), loggers}};
    return QString::fromUtf8(QJsonDocument(book).toJson(QJsonDocument::Compact));
}

} // namespace

ControlResult RunControlLine(SimReceiver &sim, const QString &line)
{
    const QString trimmed = line.trimmed();
    if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
        return {};
    const QStringList words = trimmed.split(QLatin1Char(' '), Qt::SkipEmptyParts);
    const QString &command = words.front();
    const ControlResult done{true, false, QStringLiteral("ok ") + words.join(QLatin1Char(' '))};
    const auto arity = [&](int n) { return words.size() == n + 1; };
    const auto usage = [&](const char *form) {
        return Error(QStringLiteral("usage: %1").arg(QLatin1String(form)));
    };
    double number = 0.0;
    int a = 0;
    int b = 0;

    if (command == QLatin1String("quit"))
        return arity(0) ? ControlResult{true, true, done.reply} : usage("quit");
    if (command == QLatin1String("silence")) {
        if (!arity(1) || !ToNumber(words[1], number) || number < 0 || number > 86400)
            return usage("silence SECONDS (0 to 86400)");
        sim.Silence(std::llround(number * 1000.0));
        return done;
    }
    if (command == QLatin1String("unreach") || command == QLatin1String("reach")) {
        // A node name may contain blanks: the node is the rest of the line.
        const QString node = words.mid(1).join(QLatin1Char(' '));
        if (node.isEmpty())
            return usage("unreach|reach NODE");
        if (!sim.SetReachable(node, command == QLatin1String("reach")))
            return Error(QStringLiteral("unknown node %1").arg(node));
        return done;
    }
    if (command == QLatin1String("set")) {
        const int n = static_cast<int>(words.size());
        const QString channel = n >= 4 ? words[n - 2] : QString();
        const bool ch1 = channel == QLatin1String("ch1");
        if (n < 4 || !(ch1 || channel == QLatin1String("ch2")) || !ToNumber(words[n - 1], number) ||
            std::fabs(number) > 327.67)
            return usage("set NODE ch1|ch2 VALUE (within +-327.67)");
        const QString node = words.mid(1, n - 3).join(QLatin1Char(' '));
        if (!sim.SetValue(node, ch1 ? 0 : 1, number))
            return Error(QStringLiteral("%1 is no logger with channel %2").arg(node, channel));
        return done;
    }
    if (command == QLatin1String("loss") || command == QLatin1String("corrupt") ||
        command == QLatin1String("noise")) {
        if (!arity(1) || !ToNumber(words[1], number))
            return usage("loss|corrupt|noise P (0 to 1)");
        const bool ok = command == QLatin1String("loss")      ? sim.SetLoss(number)
                        : command == QLatin1String("corrupt") ? sim.SetCorrupt(number)
                                                              : sim.SetNoise(number);
        return ok ? done : usage("loss|corrupt|noise P (0 to 1)");
    }
    if (command == QLatin1String("split")) {
        if (!arity(1) || !ToInt(words[1], a) || !sim.SetSplit(a))
            return usage("split BYTES (0 for whole frames)");
        return done;
    }
    if (command == QLatin1String("delay")) {
        if (!arity(2) || !ToInt(words[1], a) || !ToInt(words[2], b) || !sim.SetDelay(a, b))
            return usage("delay MIN_MS MAX_MS (0 <= MIN <= MAX <= 60000)");
        return done;
    }
    if (command == QLatin1String("gprs")) {
        if (!arity(0))
            return usage("gprs");
        return {true, false, QStringLiteral("ok gprs ") + GprsBookJson(sim)};
    }
    return Error(QStringLiteral("unknown command %1").arg(command));
}
