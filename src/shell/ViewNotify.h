#pragma once

#include <QMetaType>

// The eight views of the main window, by the number the rest of the program uses for them.
enum class CorvaneView : int {
    Manager = 1,  // instrument management
    Imme = 2,     // real-time data
    History = 3,  // history
    Command = 4,  // logging commands
    User = 6,     // users
    Message = 7,  // messages
    Download = 8, // downloads
    Gprs = 9,     // GPRS
};

// What a notification to a view means; the argument's meaning depends on it.
enum class ViewNotify : int {
    Reload = 1,      // reload everything (argument 0)
    NodeChanged = 2, // node `argument` or its command state changed (0 = all)
    ShowHide = 3,    // the view was selected (argument 1) or left (0)
    Specific = 4,    // view-specific (management: node `argument` changed or lost; GPRS: lock
                     // finished or timed out; messages: show the newest)
    RouterLost = 5,  // management: router `argument` was silent too long and counts as lost
};

Q_DECLARE_METATYPE(CorvaneView)
Q_DECLARE_METATYPE(ViewNotify)
