// `cmake --install` into a temporary prefix, then the installed corvane-cli started with no
// --home from a read-only program folder: its per-user home must be created and seeded. A
// portable copy (program folder with profiler/) keeps its data beside the program.
#include <QProcess>
#include <QtTest>

namespace {

struct Run {
    int status = -1;
    QByteArray out;
    QByteArray err;
};

Run Start(const QString &program, const QStringList &args, const QProcessEnvironment &env)
{
    QProcess p;
    p.setProcessEnvironment(env);
    p.start(program, args);
    Run run;
    if (!p.waitForFinished(120000))
        return run;
    run.status = p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1;
    run.out = p.readAllStandardOutput();
    run.err = p.readAllStandardError();
    return run;
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestInstall : public QObject {
    Q_OBJECT
private:
    QString m_root;
    QString m_prefix;
    // A user's environment: own HOME and data folder, no display.
    QProcessEnvironment UserEnv() const
    {
        QProcessEnvironment env;
        env.insert(QStringLiteral("PATH"), QStringLiteral("/usr/bin:/bin"));
        env.insert(QStringLiteral("HOME"), m_root + QStringLiteral("/userhome"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_root + QStringLiteral("/userhome/.local/share"));
        env.insert(QStringLiteral("LANG"), QStringLiteral("C.UTF-8"));
        return env;
    }
    QString UserData() const { return m_root + QStringLiteral("/userhome/.local/share/Corvane/corvane"); }

private slots:
    void initTestCase()
    {
        m_root = qEnvironmentVariable("CORVANE_TEST_HOME") + QStringLiteral("/install");
        m_prefix = m_root + QStringLiteral("/prefix");
        QDir(m_root).removeRecursively();
        const Run install = Start(QStringLiteral(CORVANE_CMAKE_COMMAND),
                                  {QStringLiteral("--install"), QStringLiteral(CORVANE_BINARY_DIR),
                                   QStringLiteral("--prefix"), m_prefix},
                                  QProcessEnvironment::systemEnvironment());
        QVERIFY2(install.status == 0, install.err.constData());
    }

    void layout_data()
    {
        QTest::addColumn<QString>("path");
        QTest::addColumn<QByteArray>("contains");
        QTest::newRow("seed users") << "share/corvane/home/profiler/user.ruf" << QByteArray();
        QTest::newRow("man cli") << "share/man/man1/corvane-cli.1" << QByteArray("usage: corvane-cli");
        QTest::newRow("collector unit")
            << "lib/systemd/user/corvane-collect.service" << QByteArray("ExecStart=corvane-cli collect");
    }
    void layout()
    {
        QFETCH(QString, path);
        QFETCH(QByteArray, contains);
        const QFileInfo info(m_prefix + QLatin1Char('/') + path);
        QVERIFY2(info.isFile() && info.size() > 0, qPrintable(path));
        QVERIFY(ReadFile(info.filePath()).contains(contains));
    }

    void helpNeedsNoDisplay()
    {
        QProcessEnvironment env = UserEnv();
        env.insert(QStringLiteral("QT_QPA_PLATFORM"),
                   QStringLiteral("xcb")); // no DISPLAY: a window would abort
        for (const QString &program : {QStringLiteral("corvane-manager"), QStringLiteral("corvane-cli"),
                                       QStringLiteral("corvane-sim")}) {
            const Run run =
                Start(m_prefix + QStringLiteral("/bin/") + program, {QStringLiteral("--help")}, env);
            QVERIFY2(run.status == 0, qPrintable(program + QLatin1Char(' ') + QString::fromUtf8(run.err)));
            QVERIFY2(run.out.contains("--") && run.out.toLower().contains("usage"), qPrintable(program));
        }
    }

    void installedProgramSeedsThePerUserHome()
    {
        const QString bin = m_prefix + QStringLiteral("/bin");
        QVERIFY(QFile::setPermissions(bin, QFile::ReadOwner | QFile::ExeOwner | QFile::ReadGroup |
                                               QFile::ExeGroup | QFile::ReadOther | QFile::ExeOther));
        QVERIFY(!QFileInfo::exists(UserData()));
        const Run run = Start(bin + QStringLiteral("/corvane-cli"), {QStringLiteral("users")}, UserEnv());
        QVERIFY2(run.status == 0, run.err.constData());
        // The seeded initial user file holds the administrator account.
        QVERIFY2(run.out.contains("\"name\":\"admin\""), run.out.constData());
        QCOMPARE(ReadFile(UserData() + QStringLiteral("/profiler/user.ruf")),
                 ReadFile(QStringLiteral(CORVANE_BINARY_DIR "/bin/profiler/user.ruf")));
        // Nothing was written beside the program.
        QVERIFY(!QFileInfo::exists(bin + QStringLiteral("/profiler")));
    }

    void portableCopyKeepsItsDataBesideTheProgram()
    {
        const QString portable = m_root + QStringLiteral("/portable");
        QVERIFY(QDir().mkpath(portable + QStringLiteral("/profiler")));
        QVERIFY(QFile::copy(m_prefix + QStringLiteral("/bin/corvane-cli"),
                            portable + QStringLiteral("/corvane-cli")));
        QProcessEnvironment env = UserEnv();
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_root + QStringLiteral("/otheruser"));
        const Run run = Start(portable + QStringLiteral("/corvane-cli"), {QStringLiteral("users")}, env);
        // Its own (empty) profiler/ is used: no user file there, and no per-user folder made.
        QCOMPARE(run.status, 1);
        QVERIFY2(run.err.contains((portable + QStringLiteral("/profiler/user.ruf")).toUtf8()),
                 run.err.constData());
        QVERIFY(!QFileInfo::exists(m_root + QStringLiteral("/otheruser")));
    }
};

QTEST_GUILESS_MAIN(TestInstall)
#include "test_install.moc"
