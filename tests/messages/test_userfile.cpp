#include "UserFileFixture.h"

#include "messages/CUserStore.h"
#include "messages/UserFileCodec.h"

using namespace UserFileFixture;

// The bytes of the user file and the store's operations on them.
class TestUserFile : public QObject {
    Q_OBJECT

    QString m_path;

    QByteArray FileBytes() const
    {
        QFile f(m_path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void SetFileBytes(const QByteArray &bytes)
    {
        QFile f(m_path);
        QVERIFY(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(f.write(bytes), bytes.size());
    }

private slots:
    void init() { m_path = FreshPath(); }

    void sizeRule_data()
    {
        QTest::addColumn<int>("size");
        QTest::addColumn<int>("accounts"); // -1: damaged
        QTest::newRow("one account") << 83 << 1;
        QTest::newRow("one byte more") << 84 << -1;
        QTest::newRow("one byte less") << 82 << -1;
        QTest::newRow("fifty accounts") << 3905 << 50;
        QTest::newRow("fifty-one accounts") << 3983 << -1;
    }
    void sizeRule()
    {
        QFETCH(int, size);
        QFETCH(int, accounts);
        const auto count = UserFile::AccountCountForSize(size);
        QCOMPARE(count.has_value(), accounts >= 0);
        if (count)
            QCOMPARE(*count, accounts);
    }

    // Worked by hand from the stream rule: seeds 1, 2, 3 give k = 0x0B and c = 0x0F.
    void scramblesKnownBytes()
    {
        QCOMPARE(UserFile::StreamKey({1, 2, 3}), std::uint8_t(0x0B));
        QCOMPARE(UserFile::StreamChain({1, 2, 3}), std::uint8_t(0x0F));
        QByteArray image("\x07\x01\x02\x03\x01\x00", 6);
        UserFile::ScrambleImage(image);
        QCOMPARE(image, QByteArray("\x07\x01\x02\x03\x25\x28", 6));
        UserFile::UnscrambleImage(image);
        QCOMPARE(image, QByteArray("\x07\x01\x02\x03\x01\x00", 6));
    }

    void digestRules()
    {
        using UserFile::PasswordDigest;
        // The empty password: all zero bytes chained from the start value 0x3C.
        const UserFile::Digest empty = PasswordDigest(QString());
        QCOMPARE(empty[0], std::uint8_t(0x3C));
        QCOMPARE(empty[1], std::uint8_t(0x78));
        QCOMPARE(empty[2], std::uint8_t(0xF0));
        QVERIFY(PasswordDigest(QStringLiteral("ab")) != PasswordDigest(QStringLiteral("ba")));
    }

    void oneAccountIs83Bytes()
    {
        CUserStore store;
        MakeStore(store, m_path, {});
        const QByteArray bytes = FileBytes();
        QCOMPARE(bytes.size(), 83);
        QCOMPARE(store.Load(), UserFileStatus::Ok);
        QCOMPARE(store.Names(), QStringList{QStringLiteral("admin")});
        QCOMPARE(store.Type(0), CUserStore::kAdministrator);
        // The plain image: count 1, name zero-padded, type bytes 1, 0, 0.
        QByteArray plain = bytes;
        UserFile::UnscrambleImage(plain);
        QCOMPARE(plain[4], char(1));
        QCOMPARE(plain.mid(5, 50), QByteArray("admin") + QByteArray(45, '\0'));
        QCOMPARE(plain.mid(80, 3), QByteArray("\x01\x00\x00", 3));
        QVERIFY(PasswordMatches(store, 0, QStringLiteral("adminpass")));
        QVERIFY(!PasswordMatches(store, 0, QStringLiteral("adminpasS")));
    }

    void wrongSizeIsDamagedEverywhere()
    {
        CUserStore store;
        MakeStore(store, m_path, {});
        SetFileBytes(FileBytes() + QByteArray(1, 'x'));
        const QByteArray damaged = FileBytes();
        QCOMPARE(store.Load(), UserFileStatus::Damaged);
        QCOMPARE(store.ChangePassword(0, QStringLiteral("newpass")), UserFileStatus::Damaged);
        QCOMPARE(store.RememberLastLogin(0), UserFileStatus::Damaged);
        // Nothing was written.
        QCOMPARE(FileBytes(), damaged);
    }

    // Single damaged fields of a good file.
    void foreignContentIsDamaged_data()
    {
        QTest::addColumn<int>("at"); // plain offset in the single record
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("type 0") << UserFile::kTypeOffset << QByteArray(1, '\0');
        QTest::newRow("name not UTF-8") << 0 << QByteArray("\xff\xfe\x80");
        QTest::newRow("name with a control character") << 1 << QByteArray("\x07");
        QTest::newRow("empty name") << 0 << QByteArray(1, '\0');
    }
    void foreignContentIsDamaged()
    {
        QFETCH(int, at);
        QFETCH(QByteArray, bytes);
        CUserStore store;
        MakeStore(store, m_path, {});
        QByteArray image = FileBytes();
        UserFile::UnscrambleImage(image);
        image.replace(UserFile::kHeaderSize + at, bytes.size(), bytes);
        QVERIFY(!UserFile::IsValidPlainImage(image));
        UserFile::ScrambleImage(image);
        SetFileBytes(image);
        QCOMPARE(store.Load(), UserFileStatus::Damaged);
        QCOMPARE(store.Count(), 0);
        QCOMPARE(store.AddAccount(QStringLiteral("bob"), QStringLiteral("bobpass"), 2),
                 UserFileStatus::Damaged);
        QCOMPARE(FileBytes(), image);
    }

    // Copies an interrupted rewrite left behind are removed; other files stay.
    void leftoverCopiesRemoved()
    {
        CUserStore store;
        MakeStore(store, m_path, {QStringLiteral("bob")});
        const QDir dir = QFileInfo(m_path).dir();
        const QStringList leftovers{QStringLiteral("user.ruf.AbC123"), QStringLiteral("user.ruf.zzzzzz")};
        const QStringList kept{QStringLiteral("user.ruf.1234567"), QStringLiteral("other.ruf.abcdef")};
        for (const QString &name : leftovers + kept) {
            QFile f(dir.filePath(name));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(FileBytes());
        }
        QCOMPARE(store.RemoveLeftoverCopies(), 2);
        for (const QString &name : leftovers)
            QVERIFY2(!dir.exists(name), qPrintable(name));
        for (const QString &name : kept)
            QVERIFY2(dir.exists(name), qPrintable(name));
        QVERIFY(dir.exists(QStringLiteral("user.ruf")));
        // A rewrite leaves no copy of its own.
        QCOMPARE(store.ChangePassword(1, QStringLiteral("another")), UserFileStatus::Ok);
        QCOMPARE(dir.entryList({QStringLiteral("user.ruf.*")}, QDir::Files).size(), kept.size() - 1);
    }

    void missingFileHasNoAccounts()
    {
        CUserStore store;
        store.SetFilePath(m_path);
        QCOMPARE(store.Load(), UserFileStatus::Missing);
        QCOMPARE(store.Count(), 0);
        QCOMPARE(store.RememberLastLogin(0), UserFileStatus::WriteFailed);
        QCOMPARE(store.AddAccount(QStringLiteral("bob"), QStringLiteral("bobpass"), 2),
                 UserFileStatus::Missing);
        QVERIFY(!QFile::exists(m_path));
    }

    void deletingTheSecondOfThree()
    {
        CUserStore store;
        MakeStore(store, m_path, {QStringLiteral("bob"), QStringLiteral("carol")});
        QCOMPARE(FileBytes().size(), 239);
        QCOMPARE(store.RememberLastLogin(2), UserFileStatus::Ok);
        QCOMPARE(store.DeleteAccount(QStringLiteral("bob")), UserFileStatus::Ok);
        const QByteArray bytes = FileBytes();
        QCOMPARE(bytes.size(), 161);
        QCOMPARE(store.Names(), (QStringList{QStringLiteral("admin"), QStringLiteral("carol")}));
        QVERIFY(PasswordMatches(store, 1, QStringLiteral("carolpass")));
        // The last login still names carol, now at index 1.
        QCOMPARE(store.LastLoginIndex(), 1);
        QCOMPARE(store.DeleteAccount(QStringLiteral("bob")), UserFileStatus::Refused);
        // The last account stays: the file is left as it was.
        QVERIFY(store.DeleteAccount(QStringLiteral("carol")) == UserFileStatus::Ok);
        const QByteArray single = FileBytes();
        QCOMPARE(store.DeleteAccount(QStringLiteral("admin")), UserFileStatus::Refused);
        QCOMPARE(FileBytes(), single);
    }

    // Names up to 50 bytes of UTF-8 and passwords up to 25 characters; an account written is
    // read back by another store and its password matches there.
    void accountLimits_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("password");
        QTest::addColumn<bool>("added");
        const QString p25 = QStringLiteral("Abcdefghijklmnopqrstuvw25");
        QTest::newRow("25-character password") << "long" << p25 << true;
        QTest::newRow("26-character password") << "longer" << p25 + "x" << false;
        QTest::newRow("50-byte name") << QString(50, QLatin1Char('n')) << "secret1" << true;
        QTest::newRow("17 Chinese characters, 51 bytes") << QString(17, QChar(0x5F20)) << "secret1" << false;
        QTest::newRow("empty name") << QString() << "secret1" << false;
        QTest::newRow("existing name") << QStringLiteral("admin") << "secret1" << false;
    }
    void accountLimits()
    {
        QFETCH(QString, name);
        QFETCH(QString, password);
        QFETCH(bool, added);
        CUserStore store;
        MakeStore(store, m_path, {});
        QCOMPARE(store.AddAccount(name, password, 2), added ? UserFileStatus::Ok : UserFileStatus::Refused);
        QCOMPARE(store.ChangePassword(0, password),
                 password.size() > 25 ? UserFileStatus::Refused : UserFileStatus::Ok);
        CUserStore other;
        other.SetFilePath(m_path);
        QCOMPARE(other.Load(), UserFileStatus::Ok);
        QCOMPARE(other.Count(), added ? 2 : 1);
        if (added) {
            QCOMPARE(other.Names().last(), name);
            QVERIFY(PasswordMatches(other, 1, password));
            QVERIFY(!PasswordMatches(other, 1, password.left(password.size() - 1)));
        }
    }

    void atMostFiftyAccounts()
    {
        CUserStore store;
        MakeStore(store, m_path, {});
        for (int i = 1; i < 50; ++i)
            QCOMPARE(store.AddAccount(QStringLiteral("user%1").arg(i), QStringLiteral("secret1"), 2),
                     UserFileStatus::Ok);
        QCOMPARE(FileBytes().size(), 3905);
        QCOMPARE(store.AddAccount(QStringLiteral("user50"), QStringLiteral("secret1"), 2),
                 UserFileStatus::Refused);
        QCOMPARE(FileBytes().size(), 3905);
        QCOMPARE(store.Count(), 50);
    }

    void lastLoginIsWrittenInPlace()
    {
        CUserStore store;
        MakeStore(store, m_path, {QStringLiteral("bob")});
        const QByteArray before = FileBytes();
        QCOMPARE(store.RememberLastLogin(1), UserFileStatus::Ok);
        const QByteArray after = FileBytes();
        QCOMPARE(after[0], char(1));
        QCOMPARE(after.mid(1), before.mid(1));
    }
};

QTEST_GUILESS_MAIN(TestUserFile)
#include "test_userfile.moc"
