#pragma once

#include <QString>

class SimReceiver;

// One line of run-time control, as corvane-sim reads them from standard input:
//   silence SECONDS | unreach NODE | reach NODE | set NODE ch1|ch2 VALUE | loss P | corrupt P
//   noise P | split BYTES | delay MIN_MS MAX_MS | gprs | quit
// gprs answers "ok gprs " and the receiver's GPRS book as one JSON object.
// NODE is a 16-digit extended address or a node name of the scenario.
struct ControlResult {
    bool ok = true;
    bool quit = false;
    QString reply; // "ok <command>" or "error <reason>"; empty for a blank or comment line
};

[[nodiscard]] ControlResult RunControlLine(SimReceiver &sim, const QString &line);
