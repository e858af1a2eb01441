#pragma once

// Running the programs of this build from tests: corvane-cli with its JSON lines, and
// corvane-sim on its pseudo-terminal.
#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QtTest>

namespace clitest {

const QString kCli = QStringLiteral(CORVANE_BINARY_DIR "/bin/corvane-cli");
const QString kSim = QStringLiteral(CORVANE_BINARY_DIR "/bin/corvane-sim");

struct Run {
    int status = -1; // -1: crashed or did not finish
    QList<QJsonObject> lines;
    QString out; // standard output as it came
    QString err;

    // The lines whose "event" is the given one.
    [[nodiscard]] QList<QJsonObject> Events(const QString &event) const
    {
        QList<QJsonObject> found;
        for (const QJsonObject &o : lines) {
            if (o.value(QStringLiteral("event")).toString() == event)
                found << o;
        }
        return found;
    }
};

// The words of a command line split at spaces (for lines none of whose words holds one).
inline QStringList Words(const QString &line)
{
    return line.split(QLatin1Char(' '), Qt::SkipEmptyParts);
}

inline Run Cli(const QStringList &args, const QByteArray &input = {}, int timeoutMs = 40000)
{
    QProcess p;
    p.start(kCli, args);
    p.write(input);
    p.closeWriteChannel();
    Run run;
    if (!p.waitForFinished(timeoutMs)) {
        p.kill();
        p.waitForFinished();
        return run;
    }
    run.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.err = QString::fromUtf8(p.readAllStandardError());
    const QByteArray out = p.readAllStandardOutput();
    run.out = QString::fromUtf8(out);
    for (const QByteArray &line : out.split('\n')) {
        if (!line.trimmed().isEmpty())
            run.lines.append(QJsonDocument::fromJson(line).object());
    }
    return run;
}

// The folder "home" in the test's own home.
inline QString TestHome()
{
    return qEnvironmentVariable("CORVANE_TEST_HOME") + QStringLiteral("/home");
}

// A fresh home with the Chinese texts and plant.mdb as the database of the settings file, which
// holds the nodes, each given as `db add-node` options.
inline bool MakePlant(const QString &home, const QStringList &nodes = {})
{
    QDir(home).removeRecursively();
    for (const char *folder : {"/database", "/profiler", "/message"}) {
        if (!QDir().mkpath(home + QLatin1String(folder)))
            return false;
    }
    QFile ini(home + QStringLiteral("/profiler/sysmaneger.ini"));
    if (!ini.open(QIODevice::WriteOnly) || ini.write("[language]\nlang=1\n[database]\nmdb=plant.mdb\n") <= 0)
        return false;
    ini.close();
    const QStringList db{QStringLiteral("--home"), home, QStringLiteral("db")};
    if (Cli(db + Words(QStringLiteral("create plant.mdb"))).status != 0)
        return false;
    for (const QString &options : nodes) {
        if (Cli(db + Words(QStringLiteral("add-node plant.mdb ") + options)).status != 0)
            return false;
    }
    return true;
}

// corvane-sim on a scenario (the end-to-end network unless named) for the object's life, told
// to quit at its end.
struct Sim {
    explicit Sim(const QString &scenario = QStringLiteral("e2e-network.json"))
    {
        process.start(kSim,
                      {QStringLiteral("--scenario"), QStringLiteral(CORVANE_TEST_DATA_DIR "/") + scenario});
        if (!process.waitForStarted())
            return;
        QElapsedTimer t;
        t.start();
        while (!process.canReadLine() && t.elapsed() < 5000)
            process.waitForReadyRead(100);
        const QString slave = QString::fromLocal8Bit(process.readLine()).trimmed();
        if (slave.startsWith(QLatin1String("/dev/")))
            port = slave;
    }
    ~Sim()
    {
        if (process.state() == QProcess::Running) {
            process.write("quit\n");
            process.waitForFinished(3000);
        }
    }
    QProcess process;
    QString port; // empty when the simulator did not start
};

} // namespace clitest
