#pragma once

#include <QJsonObject>
#include <QString>
#include <QtGlobal>

#include <optional>
#include <random>

// How one measuring channel of a simulated logger moves with time. The scenario gives one per
// channel: a constant, a sine (mean, amplitude, period, phase), a ramp (a saw tooth from one
// value to another over a period) or a random walk drawn from a seeded std::mt19937 (start
// value, largest step, step length, optional pull back to the start and bounds).
class ValueModel {
public:
    enum class Kind { Constant, Sine, Ramp, Walk };

    [[nodiscard]] static ValueModel Constant(double value);
    // Parses {"model": "constant" | "sine" | "ramp" | "walk", ...}; nullopt with a message in
    // error when the object names no model or a parameter is missing or out of range.
    [[nodiscard]] static std::optional<ValueModel> FromJson(const QJsonObject &json, QString *error);

    // Makes a random walk repeatable; other models ignore it.
    void Seed(quint32 seed);
    // The channel's value at a time (seconds since 1970). A random walk only moves forwards:
    // asking for a time before the last one asked gives the last value again.
    [[nodiscard]] double ValueAt(qint64 seconds);
    [[nodiscard]] Kind GetKind() const { return kind_; }

private:
    Kind kind_ = Kind::Constant;
    double a_ = 0.0;    // constant value, sine mean, ramp start, walk start
    double b_ = 0.0;    // sine amplitude, ramp end, walk largest step
    qint64 period_ = 1; // sine and ramp period, walk step length (seconds)
    qint64 phase_ = 0;  // sine and ramp phase (seconds)
    double revert_ = 0.0;
    double min_ = -327.68;
    double max_ = 327.67;

    // Random walk state: the time of the last step taken and the value reached there.
    std::mt19937 rng_;
    bool walkStarted_ = false;
    qint64 walkTime_ = 0;
    double walkValue_ = 0.0;
};
