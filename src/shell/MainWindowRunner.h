#pragma once

#include "shell/CCorvaneManagerApp.h"

// Runs the main window with its receiver link until it closes: opens the database (with the
// settings dialog as the fallback and one retry), loads the network table, starts the demo
// receiver when asked, wires the link session to the window and connects. Returns the exit
// status.
[[nodiscard]] int RunMainWindow(const StartOptions &options);
