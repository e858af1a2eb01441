#pragma once

#include <QElapsedTimer>
#include <QtGlobal>

// The simulator's notion of "now", in milliseconds since 1970 UTC. A system clock follows the
// wall clock (optionally running faster, so that long intervals pass quickly); a manual clock
// stands still until the owner moves it, which lets tests step through hours in no time.
class SimClock {
public:
    [[nodiscard]] static SimClock System(double speed = 1.0);
    [[nodiscard]] static SimClock Manual(qint64 startMs);

    [[nodiscard]] qint64 NowMs() const;
    [[nodiscard]] qint64 NowSeconds() const;
    [[nodiscard]] bool IsManual() const { return manual_; }
    // Wall-clock milliseconds until simulated time simMs is reached (0 when it has passed).
    // Meaningless for a manual clock.
    [[nodiscard]] qint64 WallMsUntil(qint64 simMs) const;
    // Moves a manual clock; ignored by a system clock. Time never runs backwards.
    void SetManualNow(qint64 ms);

private:
    SimClock() = default;

    bool manual_ = false;
    double speed_ = 1.0;
    qint64 originMs_ = 0;
    QElapsedTimer wall_;
};
