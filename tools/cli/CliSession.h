#pragma once

#include "CliCommon.h"

#include "link/RequestKind.h"
#include "network/NetworkNotifier.h"

#include <QJsonObject>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class CCorvaneODBC;
class LinkServices;
class LinkSession;
class SimReceiver;

namespace cli {

// A headless connection to the receiver, set up as the main window sets up its own: the
// program's database with the network table loaded from it (kept in line when the topology
// changes), the link with the program's services, every message-log entry, connection change,
// status and lost link printed as a JSON line, and the alarm frame sent when a node is lost.
// Commands that send requests queue them once connected (WhenConnected) and end the event loop
// with Finish when their transactions are over.
class Session : public QObject {
    Q_OBJECT
public:
    Session();
    ~Session() override;

    // Opens the database (the demo one prepared first with --demo) and loads the network table;
    // 0 on success, else the exit status after an error message.
    [[nodiscard]] int Open(const GlobalOptions &global);
    // Open, then the node ids of the loggers whose addresses are given (as LoggerIds); 0 on
    // success, else the exit status after an error message.
    [[nodiscard]] int OpenLoggers(const GlobalOptions &global, const QStringList &addresses,
                                  std::vector<int> &ids);
    [[nodiscard]] CCorvaneODBC &Database() const;
    [[nodiscard]] LinkSession &Link() const { return *m_session; }

    // Runs once the receiver answered.
    void WhenConnected(std::function<void()> action) { m_onConnected = std::move(action); }
    // Connects (starting the simulated receiver with --demo) and runs the event loop until
    // Finish or the seconds pass (0: no limit). Returns Finish's status, or the exit status of
    // the time running out (with an error message when timeoutMessage is not empty).
    [[nodiscard]] int Run(const GlobalOptions &global, int seconds, const QString &timeoutMessage);
    static void Finish(int status);

private:
    void Wire();

    std::unique_ptr<SimReceiver> m_simulator;
    std::unique_ptr<LinkSession> m_session;
    std::function<void()> m_onConnected;
};

// The program's link services, with every message-log entry printed as a JSON line as well.
[[nodiscard]] std::unique_ptr<LinkServices> MakePrintingServices(CCorvaneODBC &db);
// Prints one JSON line {"event": event, ...fields}.
void PrintEvent(const QString &event, QJsonObject fields = {});

// Reads "--seconds N" (N >= 0) into seconds, or leaves the fallback; false for a bad value.
[[nodiscard]] bool TakeSeconds(QStringList &args, int fallback, int &seconds);
// Node ids of the addresses (16 hexadecimal digits) in the node table; the nodes must be
// loggers. False with the reason in error.
[[nodiscard]] bool LoggerIds(CCorvaneODBC &db, const QStringList &addresses, std::vector<int> &ids,
                             QString &error);

} // namespace cli

class CNodeListModel;

namespace cli {

// One command sent to several nodes: queued through the list model (the link's parameter
// source) once connected, each queued node's progress set, and the nodes followed until their
// command has ended.
struct CommandBatch {
    RequestKind kind = RequestKind::Download;
    NodeAspect aspect = NodeAspect::Link;
    std::function<quint8(int id)> state; // the node's progress field
    std::function<void(int id, quint8 state)> setState;
    quint8 queuedState = 0;                           // set when a request was queued
    std::function<bool(quint8 state)> pending;        // the command has not ended yet
    std::function<bool(int id, quint8 state)> report; // prints the end; true when it succeeded
    // Called instead of ending the run when every command has ended (a command that waits for
    // more, such as samples, ends the run itself); ok when every command succeeded.
    std::function<void(bool ok)> ended;
};

// Connects, submits the batch for every id and waits until all have ended or the seconds pass.
// 0 when every command succeeded.
[[nodiscard]] int RunBatch(Session &session, const GlobalOptions &global, CNodeListModel &model,
                           const std::vector<int> &ids, const CommandBatch &batch, int seconds);

} // namespace cli
