#pragma once

#include <QString>
#include <QtGlobal>

// The link state the main window drives and the link event handler completes: which port table
// entry is being probed, which one is connected, the receiver's node id and clock, the link tick
// counter and the pre-alarm repeat filter.
struct LinkState {
    // Next port table entry to probe (0..256).
    int scanIndex = 0;
    // -1 when not connected; otherwise one past the port table entry that answered.
    int connectedPort = -1;
    int receiverId = -1;
    qint64 receiverTime = 0;
    quint8 tick = 0;
    qint32 lastPreAlarmShort = 0;
    qint64 lastPreAlarmTime = 0;
    // The connection status text shown beside the connect button.
    QString connectionText;

    [[nodiscard]] bool IsConnected() const { return connectedPort >= 0; }
};
