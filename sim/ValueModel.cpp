#include "ValueModel.h"

#include <algorithm>
#include <cmath>

namespace {

constexpr double kPi = 3.14159265358979323846;
// A walk left alone for longer than this many steps resumes from where it stood: it is a
// plausible reading that matters, not the exact path through months of idle time.
constexpr qint64 kMaxWalkSteps = 200000;

bool ReadNumber(const QJsonObject &json, const char *key, double &out, QString *error, bool required = true)
{
    const QJsonValue v = json.value(QLatin1String(key));
    if (v.isUndefined()) {
        if (required && error)
            *error = QStringLiteral("value model lacks \"%1\"").arg(QLatin1String(key));
        return !required;
    }
    if (!v.isDouble() || !std::isfinite(v.toDouble())) {
        if (error)
            *error = QStringLiteral("value model field \"%1\" is not a number").arg(QLatin1String(key));
        return false;
    }
    out = v.toDouble();
    return true;
}

qint64 FloorMod(qint64 a, qint64 m)
{
    const qint64 r = a % m;
    return r < 0 ? r + m : r;
}

} // namespace

ValueModel ValueModel::Constant(double value)
{
    ValueModel m;
    m.kind_ = Kind::Constant;
    m.a_ = value;
    return m;
}

std::optional<ValueModel> ValueModel::FromJson(const QJsonObject &json, QString *error)
{
    const QString name = json.value(QStringLiteral("model")).toString();
    ValueModel m;
    double period = 0.0;
    double phase = 0.0;
    if (name == QLatin1String("constant")) {
        m.kind_ = Kind::Constant;
        if (!ReadNumber(json, "value", m.a_, error))
            return std::nullopt;
        return m;
    }
    if (name == QLatin1String("sine")) {
        m.kind_ = Kind::Sine;
        if (!ReadNumber(json, "mean", m.a_, error) || !ReadNumber(json, "amplitude", m.b_, error) ||
            !ReadNumber(json, "period", period, error) || !ReadNumber(json, "phase", phase, error, false))
            return std::nullopt;
    } else if (name == QLatin1String("ramp")) {
        m.kind_ = Kind::Ramp;
        if (!ReadNumber(json, "from", m.a_, error) || !ReadNumber(json, "to", m.b_, error) ||
            !ReadNumber(json, "period", period, error) || !ReadNumber(json, "phase", phase, error, false))
            return std::nullopt;
    } else if (name == QLatin1String("walk")) {
        m.kind_ = Kind::Walk;
        period = 60.0;
        if (!ReadNumber(json, "start", m.a_, error) || !ReadNumber(json, "step", m.b_, error) ||
            !ReadNumber(json, "stepSeconds", period, error, false) ||
            !ReadNumber(json, "revert", m.revert_, error, false) ||
            !ReadNumber(json, "min", m.min_, error, false) || !ReadNumber(json, "max", m.max_, error, false))
            return std::nullopt;
        if (m.b_ < 0.0 || m.revert_ < 0.0 || m.revert_ > 1.0 || m.min_ > m.max_) {
            if (error)
                *error = QStringLiteral("random walk needs step >= 0, revert within 0..1 and min <= max");
            return std::nullopt;
        }
        m.a_ = std::clamp(m.a_, m.min_, m.max_);
    } else {
        if (error)
            *error = QStringLiteral("unknown value model \"%1\"").arg(name);
        return std::nullopt;
    }
    if (!(period >= 1.0) || period > 1e9) {
        if (error)
            *error = QStringLiteral("value model period must be 1 s or more");
        return std::nullopt;
    }
    // The phase becomes whole seconds: a value beyond any clock would not fit.
    if (!(std::abs(phase) <= 1e12)) {
        if (error)
            *error = QStringLiteral("value model phase must lie within 1e12 s");
        return std::nullopt;
    }
    m.period_ = static_cast<qint64>(period);
    m.phase_ = static_cast<qint64>(phase);
    return m;
}

void ValueModel::Seed(quint32 seed)
{
    rng_.seed(seed);
    walkStarted_ = false;
}

double ValueModel::ValueAt(qint64 seconds)
{
    switch (kind_) {
    case Kind::Constant:
        return a_;
    case Kind::Sine: {
        const double angle = 2.0 * kPi * static_cast<double>(FloorMod(seconds - phase_, period_)) / period_;
        return a_ + b_ * std::sin(angle);
    }
    case Kind::Ramp: {
        const double f = static_cast<double>(FloorMod(seconds - phase_, period_)) / period_;
        return a_ + (b_ - a_) * f;
    }
    case Kind::Walk:
        break;
    }
    if (!walkStarted_) {
        walkStarted_ = true;
        walkTime_ = seconds;
        walkValue_ = a_;
        return walkValue_;
    }
    if (seconds <= walkTime_)
        return walkValue_;
    qint64 steps = (seconds - walkTime_) / period_;
    walkTime_ += steps * period_;
    steps = std::min(steps, kMaxWalkSteps);
    for (qint64 i = 0; i < steps; ++i) {
        // Uniform step in [-b, b] from the raw generator output, so that a seed gives the same
        // walk with every standard library.
        const double u = static_cast<double>(rng_()) / 4294967295.0;
        walkValue_ += revert_ * (a_ - walkValue_) + (2.0 * u - 1.0) * b_;
        walkValue_ = std::clamp(walkValue_, min_, max_);
    }
    return walkValue_;
}
