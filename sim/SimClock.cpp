#include "SimClock.h"

#include <QDateTime>

#include <algorithm>
#include <cmath>

SimClock SimClock::System(double speed)
{
    SimClock clock;
    clock.speed_ = speed > 0.0 ? speed : 1.0;
    clock.originMs_ = QDateTime::currentMSecsSinceEpoch();
    clock.wall_.start();
    return clock;
}

SimClock SimClock::Manual(qint64 startMs)
{
    SimClock clock;
    clock.manual_ = true;
    clock.originMs_ = startMs;
    return clock;
}

qint64 SimClock::NowMs() const
{
    if (manual_)
        return originMs_;
    return originMs_ + static_cast<qint64>(std::llround(static_cast<double>(wall_.elapsed()) * speed_));
}

qint64 SimClock::NowSeconds() const
{
    const qint64 ms = NowMs();
    return ms >= 0 ? ms / 1000 : -((-ms + 999) / 1000);
}

qint64 SimClock::WallMsUntil(qint64 simMs) const
{
    const qint64 ahead = simMs - NowMs();
    if (ahead <= 0)
        return 0;
    return static_cast<qint64>(std::ceil(static_cast<double>(ahead) / speed_));
}

void SimClock::SetManualNow(qint64 ms)
{
    if (manual_)
        originMs_ = std::max(originMs_, ms);
}
