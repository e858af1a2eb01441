#pragma once

#include <QString>

#include <memory>

class CCorvaneODBC;
class SimReceiver;

// Demo mode without hardware: the demo network played by the simulator on a pseudo-terminal,
// and a demo database that knows its nodes, made on first use in the home folder.
namespace DemoSetup {

inline constexpr const char *kDatabaseName = "demo.mdb";

// The demo scenario compiled into the program.
[[nodiscard]] QString ScenarioPath();

// Starts the simulated receiver on a pseudo-terminal (system clock); nullptr with error set
// when that fails. The slave path is the port to connect to.
[[nodiscard]] std::unique_ptr<SimReceiver> StartReceiver(QString *error);

// Makes sure the settings name a database: when none is named (or the named one is missing)
// the demo database is created in the database folder with the demo nodes and named in the
// settings. Returns the name of the database to open; empty with error set on failure.
[[nodiscard]] QString EnsureDatabase(CCorvaneODBC &database, QString *error);

} // namespace DemoSetup
