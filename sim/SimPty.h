#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>

#include <memory>

class QSocketNotifier;

// The master side of a pseudo-terminal. The program opens the slave device (SlavePath) as if
// it were the receiver's serial port; the simulator reads the requests from the master and
// writes its answers there. The slave is held open here too, in raw mode, so that the line
// neither echoes nor hangs up while no program has it open.
class SimPty : public QObject {
    Q_OBJECT
public:
    explicit SimPty(QObject *parent = nullptr);
    ~SimPty() override;

    [[nodiscard]] bool Open(QString *error);
    [[nodiscard]] QString SlavePath() const { return slavePath_; }
    // Queues bytes for the slave's reader; bytes beyond a bounded backlog are dropped, as on a
    // line that nobody listens to.
    void Write(const QByteArray &bytes);

signals:
    void Received(const QByteArray &bytes);

private:
    void OnReadable();
    void Flush();
    void Close();

    int master_ = -1;
    int slaveHold_ = -1;
    QString slavePath_;
    std::unique_ptr<QSocketNotifier> reader_;
    std::unique_ptr<QSocketNotifier> writer_;
    QByteArray pending_;
};
