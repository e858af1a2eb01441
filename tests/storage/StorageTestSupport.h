#pragma once

// Fixtures the storage tests share: the test's own home folder, local times, sample bytes as
// a logger sends them, and running corvane-cli.
#include "base/AppSettings.h"
#include "base/CvTime.h"

#include <QDir>
#include <QFile>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>
#include <QProcess>

namespace storagetest {

inline const QString kKey = QStringLiteral("00124b0001a2b3c4");

inline QString TestHome()
{
    return qEnvironmentVariable("CORVANE_TEST_HOME", QDir::currentPath());
}

// Points the settings at the test's home folder and makes its database folder there.
inline bool UseTestHome()
{
    AppSettings::Instance().SetHomeFolder(TestHome());
    return QDir().mkpath(AppSettings::Instance().DatabaseFolder());
}

// A new database file of that name in the database folder, opened on db (a CCorvaneODBC).
template <typename Database> bool OpenNewDatabase(Database &db, const QString &name)
{
    return db.CreateDatabase(AppSettings::Instance().DatabaseFolder() + QLatin1Char('/') + name) &&
           db.OpenDatabase(name);
}

// The whole file, or nothing when it cannot be read.
inline QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

inline bool WriteFile(const QString &path, const QByteArray &bytes)
{
    QFile f(path);
    return f.open(QIODevice::WriteOnly) && f.write(bytes) == bytes.size();
}

inline qint64 At(int y, int mo, int d, int h, int mi, int s)
{
    return *CvTime::FromLocal({y, mo, d, h, mi, s});
}

// Samples in hundredths as 16-bit two's complement, low byte first.
inline QByteArray Samples(const QList<int> &hundredths)
{
    QByteArray out;
    for (const int v : hundredths) {
        const auto u = static_cast<quint16>(static_cast<qint16>(v));
        out.append(static_cast<char>(u & 0xFF));
        out.append(static_cast<char>(u >> 8));
    }
    return out;
}

inline QList<float> Values(const float *values, int count)
{
    return QList<float>(values, values + count);
}

struct CliRun {
    int exitCode = -1; // -2: crashed, -1: did not finish
    QList<QByteArray> lines;
    QByteArray err;
};

// Runs corvane-cli of this build (or the one CORVANE_CLI names) with input on its standard input.
inline CliRun RunCli(const QStringList &args, const QByteArray &input = QByteArray())
{
    const QString overridden = qEnvironmentVariable("CORVANE_CLI");
    QProcess p;
    p.start(overridden.isEmpty() ? QStringLiteral(CORVANE_BINARY_DIR "/bin/corvane-cli") : overridden, args);
    p.write(input);
    p.closeWriteChannel();
    CliRun r;
    if (!p.waitForFinished(60000))
        return r;
    r.exitCode = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -2;
    r.lines = p.readAllStandardOutput().split('\n');
    r.lines.removeAll(QByteArray());
    r.err = p.readAllStandardError();
    return r;
}

inline QJsonObject Json(const QByteArray &line)
{
    return QJsonDocument::fromJson(line).object();
}

} // namespace storagetest
