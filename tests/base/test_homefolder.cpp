// The home folder rule: explicit folder, program folder in place, or the per-user folder seeded
// from the installation's template without ever overwriting what the user has.
#include "base/HomeFolder.h"

#include <QtTest>

namespace {

void WriteFile(const QString &path, const QByteArray &bytes)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile f(path);
    QVERIFY(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

QByteArray ReadFile(const QString &path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

} // namespace

class TestHomeFolder : public QObject {
    Q_OBJECT
private:
    QString m_root;
    // An installation: root/inst/bin (program folder) and root/inst/share/corvane/home (template).
    QString Bin() const { return m_root + QStringLiteral("/inst/bin"); }
    QString Seed() const { return m_root + QStringLiteral("/inst/share/corvane/home"); }
    QString User() const { return m_root + QStringLiteral("/user/Corvane/corvane"); }

private slots:
    void init()
    {
        m_root = qEnvironmentVariable("CORVANE_TEST_HOME") + QStringLiteral("/homefolder");
        QDir(m_root).removeRecursively();
        QVERIFY(QDir().mkpath(Bin()));
        WriteFile(Seed() + QStringLiteral("/sound/warning.wav"), "warning");
        WriteFile(Seed() + QStringLiteral("/profiler/user.ruf"), "initial users");
        // Installed files are read-only; the seeded copies must not be.
        QFile::setPermissions(Seed() + QStringLiteral("/profiler/user.ruf"),
                              QFile::ReadOwner | QFile::ReadGroup);
    }

    void choice_data()
    {
        QTest::addColumn<bool>("explicitHome");
        QTest::addColumn<bool>("profilerBesideProgram");
        QTest::addColumn<QString>("chosen"); // below the test's root
        QTest::newRow("explicit wins over a usable program folder") << true << true << "/explicit";
        QTest::newRow("program folder with profiler/") << false << true << "/inst/bin";
        QTest::newRow("installed program: per-user folder") << false << false << "/user/Corvane/corvane";
    }
    void choice()
    {
        QFETCH(bool, explicitHome);
        QFETCH(bool, profilerBesideProgram);
        QFETCH(QString, chosen);
        if (profilerBesideProgram)
            QVERIFY(QDir().mkpath(Bin() + QStringLiteral("/profiler")));
        const HomeFolder::Choice choice = HomeFolder::Choose(
            explicitHome ? m_root + QStringLiteral("/explicit") : QString(), Bin(), User());
        QCOMPARE(choice.folder, m_root + chosen);
        const bool perUser = choice.folder == User();
        QCOMPARE(choice.perUser, perUser);
        QVERIFY(choice.error.isEmpty());
        // Only the per-user folder is created by the rule; the others are the user's business.
        QCOMPARE(QFileInfo::exists(User()), perUser);
    }

    // The first start seeds every folder; later starts keep what the user changed.
    void seedsOnceKeepsTheUsersFiles()
    {
        const HomeFolder::Choice choice = HomeFolder::Choose(QString(), Bin(), User());
        QVERIFY2(choice.error.isEmpty(), qPrintable(choice.error));
        for (const QString &sub : HomeFolder::Subfolders())
            QVERIFY2(QFileInfo(User() + QLatin1Char('/') + sub).isDir(), qPrintable(sub));
        QCOMPARE(ReadFile(User() + QStringLiteral("/sound/warning.wav")), QByteArray("warning"));
        QCOMPARE(ReadFile(User() + QStringLiteral("/profiler/user.ruf")), QByteArray("initial users"));
        QVERIFY(QFileInfo(User() + QStringLiteral("/profiler/user.ruf")).permissions() & QFile::WriteOwner);
        WriteFile(User() + QStringLiteral("/profiler/user.ruf"), "changed password");
        QVERIFY(QFile::remove(User() + QStringLiteral("/sound/warning.wav")));
        QVERIFY(QDir(User() + QStringLiteral("/datasave")).removeRecursively());
        QVERIFY(HomeFolder::Choose(QString(), Bin(), User()).error.isEmpty());
        QCOMPARE(ReadFile(User() + QStringLiteral("/profiler/user.ruf")), QByteArray("changed password"));
        // Not a first start: a file the user removed stays removed; the folders are remade.
        QVERIFY(!QFileInfo::exists(User() + QStringLiteral("/sound/warning.wav")));
        QVERIFY(QFileInfo(User() + QStringLiteral("/datasave")).isDir());
    }

    void unusableFolderIsReported()
    {
        // Below a plain file no folder can be made, whatever the user's rights.
        WriteFile(m_root + QStringLiteral("/blocker"), "file");
        const HomeFolder::Choice choice =
            HomeFolder::Choose(QString(), Bin(), m_root + QStringLiteral("/blocker/home"));
        QVERIFY(choice.error.contains(QStringLiteral("blocker/home")));
    }
};

QTEST_GUILESS_MAIN(TestHomeFolder)
#include "test_homefolder.moc"
