#pragma once

#include "SimClock.h"
#include "SimNetwork.h"
#include "SimRequest.h"

#include <QByteArray>
#include <QJsonObject>
#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <vector>

class SimPty;

// A receiver with its wireless network, played on a pseudo-terminal or driven directly.
// Requests come in through Feed (or the pty); answers, unsolicited real-time reports, noise and
// damaged frames go out through Output (and the pty), each at its own moment: answers after a
// radio delay per hop, scan answers one node after the other, download blocks in a stream. All
// timing runs on the injected clock: with a system clock on the Qt event loop, with a manual
// clock whenever the owner calls Advance.
class SimReceiver : public QObject {
    Q_OBJECT
public:
    explicit SimReceiver(SimClock clock, quint32 seed = 1, QObject *parent = nullptr);
    ~SimReceiver() override;

    [[nodiscard]] bool LoadScenarioFile(const QString &path, QString *error);
    [[nodiscard]] bool LoadScenario(const QJsonObject &json, QString *error);

    // Opens a pseudo-terminal and plays the receiver on its master side.
    [[nodiscard]] bool OpenPty(QString *error);
    [[nodiscard]] QString SlavePath() const;

    // Request bytes as the PC writes them, in chunks of any size.
    void Feed(const QByteArray &bytes);
    // Manual clock only: lets ms milliseconds pass, running everything due on the way.
    void Advance(qint64 ms);
    [[nodiscard]] qint64 NowMs() const { return clock_.NowMs(); }

    // Run-time control (the commands of corvane-sim's standard input).
    void Silence(qint64 ms);
    [[nodiscard]] bool SetReachable(const QString &node, bool reachable);
    [[nodiscard]] bool SetValue(const QString &node, int channel, double value);
    [[nodiscard]] bool SetLoss(double probability);
    [[nodiscard]] bool SetCorrupt(double probability);
    [[nodiscard]] bool SetNoise(double probability);
    [[nodiscard]] bool SetSplit(int maxChunk);
    [[nodiscard]] bool SetDelay(int minMs, int maxMs);

    [[nodiscard]] SimNetwork &Network() { return *network_; }
    [[nodiscard]] bool IsLoaded() const { return network_.has_value(); }
    [[nodiscard]] int RejectedRequests() const { return scanner_.RejectedFrames(); }
    [[nodiscard]] int LostFrames() const { return lost_; }

signals:
    // Bytes on the line to the PC, in the chunks in which they are written.
    void Output(const QByteArray &chunk);

private:
    using Action = std::function<void()>;

    void Schedule(qint64 dueMs, Action action);
    void RunDue();
    void Rearm();
    void HandleRequest(const SimRequest &request);
    void ScheduleReport(int node, qint64 dueMs);
    void Deliver(int node, QByteArray frame);
    void WriteLine(const QByteArray &bytes);
    [[nodiscard]] qint64 RadioDelay(int node);
    [[nodiscard]] bool Chance(double probability);
    [[nodiscard]] bool Silent() const { return clock_.NowMs() < silentUntilMs_; }

    SimClock clock_;
    std::mt19937 rng_;
    quint32 seed_;
    std::optional<SimNetwork> network_;
    RequestScanner scanner_;
    std::multimap<qint64, Action> events_;
    QTimer timer_;
    std::unique_ptr<SimPty> pty_;
    std::vector<quint64> reportGeneration_;
    std::vector<quint64> burstGeneration_;
    qint64 silentUntilMs_ = 0;
    qint64 lineFreeAtMs_ = 0;
    int lost_ = 0;
};
