// A port the user has no right to open. The tests run as root, who can open any device, so the
// session's path is driven with an injected PermissionError; the real refusal is produced by
// running corvane-cli under an unprivileged user (setpriv) on a device file only root may open.
#include "base/AppSettings.h"
#include "link/CUart_CommApp.h"
#include "link/ComPort.h"
#include "link/PortAccess.h"
#include "network/CCorvaneBeeNode.h"
#include "network/LinkSession.h"
#include "network/NetworkNotifier.h"
#include "storage/CCorvaneODBC.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QtTest>

using LsComm::PortAccess;

class TestPortAccess : public QObject {
    Q_OBJECT
private:
    QString m_dir;
    QString m_device; // a file standing for a device node, owned by the test's user and group

    // The prober of a machine where m_device is refused and everything else is missing.
    static LsComm::CComPort::Prober Refusing(const QString &denied)
    {
        return [denied](const QString &location) {
            return location == denied ? QSerialPort::PermissionError : QSerialPort::DeviceNotFoundError;
        };
    }

private slots:
    void init()
    {
        m_dir = qEnvironmentVariable("CORVANE_TEST_HOME") + QStringLiteral("/ports");
        QDir(m_dir).removeRecursively();
        QVERIFY(QDir().mkpath(m_dir));
        m_device = m_dir + QStringLiteral("/ttyCORVANE0");
        QFile f(m_device);
        QVERIFY(f.open(QIODevice::WriteOnly));
        AppSettings::Instance().SetLanguage(UiLanguage::English);
    }

    void messageNamesPortGroupAndFix()
    {
        const QString group = LsComm::PortOwnerGroup(m_device);
        QVERIFY(!group.isEmpty());
        const QString message = LsComm::PortDeniedMessage(m_device, group);
        QVERIFY2(message.contains(m_device) &&
                     message.contains(QLatin1Char('"') + group + QLatin1Char('"')) &&
                     message.contains(QStringLiteral("usermod -aG ") + group),
                 qPrintable(message));
        QVERIFY(LsComm::PortDeniedStatus(m_device, group).contains(group));
    }

    void portTableKeepsDeniedPortsOutOfTheProbe()
    {
        LsComm::CComPort port;
        port.SetProber(Refusing(m_device));
        QCOMPARE(port.EnumeratePorts({m_device, QStringLiteral("/dev/corvane-none")}), 0);
        const auto &table = port.PortTable();
        QCOMPARE(table.at(0).location, m_device);
        QCOMPARE(table.at(0).access, PortAccess::Denied);
        QCOMPARE(table.at(0).group, QFileInfo(m_device).group());
        QCOMPARE(table.at(1).access, PortAccess::Missing);
    }

    void sessionTellsOnceAndShowsTheStatus()
    {
        CUart_CommApp link;
        link.Port().SetProber(Refusing(m_device));
        CCorvaneODBC db;
        LinkSession session(link, theNodeTable(), db);
        session.SetAutomaticTimers(false);
        session.SetGivenPorts({m_device});
        QSignalSpy denied(&session.Notifier(), &NetworkNotifier::portDenied);
        QSignalSpy status(&session.Notifier(), &NetworkNotifier::statusChanged);

        session.Connect();
        QCOMPARE(denied.count(), 1);
        QCOMPARE(denied.at(0).at(1).toString(),
                 LsComm::PortDeniedMessage(m_device, QFileInfo(m_device).group()));
        QCOMPARE(status.last().at(0).toString(),
                 LsComm::PortDeniedStatus(m_device, QFileInfo(m_device).group()));
        // The probe passes over the refused port instead of opening it.
        session.ProbeStep();
        QVERIFY(!link.Port().IsOpen());

        // Pressing connect again repeats the status but not the message.
        status.clear();
        session.Connect();
        QCOMPARE(denied.count(), 1);
        QVERIFY(!status.isEmpty());
    }

    void cliReportsARealRefusal()
    {
        // Root opens anything: the refusal needs a user without rights. Non-root users are
        // refused a file they made unreadable themselves.
        const bool root = QFileInfo(m_device).ownerId() == 0; // the test made the file
        const QString setpriv = QStandardPaths::findExecutable(QStringLiteral("setpriv"));
        if (root && setpriv.isEmpty())
            QSKIP("running as root without setpriv: cannot act as a user without rights");
        QVERIFY(QFile::setPermissions(m_device,
                                      root ? (QFile::ReadOwner | QFile::WriteOwner) : QFile::Permissions()));
        // The unprivileged user needs a home it may write.
        const QString home = m_dir + QStringLiteral("/home");
        QVERIFY(QDir().mkpath(home + QStringLiteral("/profiler")));
        QVERIFY(QFile::setPermissions(home, QFile::Permissions(0x7777)));
        QVERIFY(QFile::setPermissions(home + QStringLiteral("/profiler"), QFile::Permissions(0x7777)));
        QVERIFY(QFile::setPermissions(m_dir, QFile::Permissions(0x7755)));

        const QString cli = QStringLiteral(CORVANE_BINARY_DIR "/bin/corvane-cli");
        QStringList args = {QStringLiteral("--home"), home, QStringLiteral("--port"), m_device,
                            QStringLiteral("ports")};
        QProcess p;
        if (root)
            p.start(setpriv, QStringList{QStringLiteral("--reuid=65534"), QStringLiteral("--regid=65534"),
                                         QStringLiteral("--clear-groups"), cli} +
                                 args);
        else
            p.start(cli, args);
        QVERIFY(p.waitForFinished(30000));
        QVERIFY2(p.exitCode() == 0, p.readAllStandardError().constData());
        const QByteArray first = p.readAllStandardOutput().split('\n').value(0);
        const QJsonObject line = QJsonDocument::fromJson(first).object();
        QCOMPARE(line.value(QStringLiteral("port")).toString(), m_device);
        QCOMPARE(line.value(QStringLiteral("access")).toString(), QStringLiteral("permission-denied"));
        QCOMPARE(line.value(QStringLiteral("group")).toString(), QFileInfo(m_device).group());
        QVERIFY(line.value(QStringLiteral("fix")).toString().contains(QFileInfo(m_device).group()));
    }
};

QTEST_GUILESS_MAIN(TestPortAccess)
#include "test_portaccess.moc"
