#pragma once

#include "network/LinkState.h"
#include "network/NetworkNotifier.h"

#include <QObject>
#include <QSet>
#include <QStringList>
#include <QTimer>

#include <functional>
#include <memory>

class CCorvaneBeeNode;
class CCorvaneODBC;
class CUart_CommApp;
class LinkEventHandler;

// The life of the receiver connection, without any window: connect and the port probe (one
// port a second until the receiver answers), the link tick (send, keep-alive after 7 s of
// silence, link lost after 11 s), the real-time watchdog, and the hand-over of finished records
// to the link event handler. The main window and the command-line monitor both run one.
//
// The three jobs run from QTimers while automatic timers are on (the default); tests switch
// them off, drive ProbeStep/LinkTick/Watchdog by hand and set the clock.
// The session applies the transaction engine's events to the network table and gives the
// engine the program's services unless it has some already.
class LinkSession : public QObject {
    Q_OBJECT
public:
    static constexpr int kTickMs = 200;
    static constexpr int kProbeMs = 1000;
    static constexpr int kWatchdogMs = 45000;
    static constexpr qint64 kKeepAliveSilence = 7;
    static constexpr qint64 kLostSilence = 11;
    static constexpr qint64 kRouterLostSeconds = 91;

    LinkSession(CUart_CommApp &link, CCorvaneBeeNode &table, CCorvaneODBC &database,
                QObject *parent = nullptr);
    ~LinkSession() override;

    // Ports tried before the system's own (--port, the simulated receiver).
    void SetGivenPorts(const QStringList &ports) { m_givenPorts = ports; }
    void SetClock(std::function<qint64()> clock);
    [[nodiscard]] qint64 Now() const { return m_clock(); }
    void SetAutomaticTimers(bool on) { m_automatic = on; }

    [[nodiscard]] const LinkState &State() const { return m_state; }
    [[nodiscard]] LinkEventHandler &Handler() { return *m_handler; }
    [[nodiscard]] bool IsProbing() const { return m_probing; }
    // True after a link loss while the lost receiver's port is being probed again.
    [[nodiscard]] bool IsRecovering() const { return m_recoverEntry >= 0; }
    [[nodiscard]] bool IsTicking() const { return m_ticking; }
    [[nodiscard]] bool IsWatching() const { return m_watching; }

    // The connect button (and once at start): closes the port, lists the ports again and
    // starts probing from the first entry.
    void Connect();
    // One probe step: opens the next present port and asks it for the receiver's information;
    // after a link loss, the lost receiver's port again.
    void ProbeStep();
    // One link tick: sends the head request's frame when due, keeps the link alive, detects loss.
    void LinkTick();
    // The real-time watchdog: asks silent loggers for data, declares silent routers lost.
    void Watchdog();
    // The alarm frame ("ALA") written twice, when a node was declared lost.
    void SendAlarmFrame();

    // The fixed keep-alive and alarm frames.
    [[nodiscard]] static QByteArray KeepAliveFrame();
    [[nodiscard]] static QByteArray AlarmFrame();

    // Where the session, its handler and the network table announce what happened.
    [[nodiscard]] NetworkNotifier &Notifier();

private:
    void ConnectEngine();
    void StartProbe();
    // Opens the port table entry and asks it for the receiver's information.
    void ProbePort(int entry);
    void StopProbe();
    void OnConnected();
    void DropLink();
    void EmitStatus();
    // Status text and one-time message for ports the user may not open.
    void ReportDeniedPorts();
    // Announces the last logged message (type word and text) of the engine or the handler.
    void EmitNewMessage(bool nodeLost);
    void WriteFrame(const QByteArray &frame);

    CUart_CommApp &m_link;
    CCorvaneBeeNode &m_table;
    CCorvaneODBC &m_db;
    LinkState m_state;
    std::unique_ptr<LinkEventHandler> m_handler;
    std::function<qint64()> m_clock;
    QStringList m_givenPorts;
    QSet<QString> m_reportedDenied;
    // The port table entry of a receiver whose link was lost, probed again until it answers; -1
    // when no link was lost since the last connect.
    int m_recoverEntry = -1;
    bool m_automatic = true;
    bool m_probing = false;
    bool m_ticking = false;
    bool m_watching = false;
    QTimer m_probeTimer;
    QTimer m_tickTimer;
    QTimer m_watchdogTimer;
};
