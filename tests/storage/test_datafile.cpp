// The data file: scrambling bytes, field widths, the validity rules and round trips through
// the sample store, plus the remembered dialog folders.
#include "StorageTestSupport.h"

#include "storage/CCorvFile.h"
#include "storage/HistoryCodec.h"

#include <QFile>
#include <QTest>

using namespace DataFile;
using namespace storagetest;

namespace {

// A dual-channel record of n samples at 60 s, range selected whole.
void Fill(CNodeDataSave &s, int n, quint8 type = 0x88)
{
    s.Clear();
    s.name = QStringLiteral("Freezer 3");
    s.nodeKey = QStringLiteral("00124b0001a2b3c4");
    s.deviceType = type;
    s.interval = 60;
    s.recordStart = At(2024, 1, 5, 9, 3, 7);
    for (int i = 0; i < n; ++i) {
        s.ch1()[i] = static_cast<float>(i) / 4.0f - 10.0f;
        s.ch2()[i] = 50.0f + static_cast<float>(i % 7);
    }
    s.ch1Count = n;
    s.ch2Count = HistoryCodec::HasChannel2(type) ? n : 0;
    s.FillSampleTimes();
    s.recordEnd = s.times()[n - 1];
    s.alarmFlag = 4;
    s.ch1Lower = -123.456f;
    s.ch1Upper = 12345.67f;
    s.ch2Lower = 10.0f;
    s.ch2Upper = 90.0f;
    (void)s.ComputeRangeStatistics(s.recordStart, s.recordEnd);
}

QString TempPath(const QString &name)
{
    return QDir(TestHome()).filePath(name);
}

} // namespace

class TestDataFile : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { AppSettings::Instance().SetHomeFolder(TestHome()); }

    void scrambleKnownBytes()
    {
        // Zero key: K = 0, P = 0. 'A' at 0 (m = 0) stays 0x41; 'B' at 1 (m = 1) becomes 0x40,
        // XOR P = 'A' gives 0x01.
        const Key zero{0, 0, 0, 0, 0};
        QCOMPARE(Scramble("AB", zero), QByteArray("\x41\x01", 2));
        // Key 1..5: K = 2 + 12 + 5 = 0x13, P = 6 + 20 = 0x1A; 'A' -> 0x41 ^ 0x13 ^ 0x1A.
        const Key k{1, 2, 3, 4, 5};
        QCOMPARE(quint8(Scramble("A", k)[0]), quint8(0x48));

        // Positions 256 and 257 start the bit pattern again: m = 1 as at position 1, then m = 0.
        QByteArray text(258, 'x');
        text[255] = 'A';
        text[256] = 'B';
        text[257] = 'C';
        const QByteArray stored = Scramble(text, zero);
        QCOMPARE(quint8(stored[256]), quint8(0x40 ^ 0x41)); // 'B' -> 0x40, XOR 'A'
        QCOMPARE(quint8(stored[257]), quint8(0x43 ^ 0x42)); // 'C' unchanged, XOR 'B'
        QCOMPARE(Unscramble(stored, zero), text);
    }

    void valueFields_data()
    {
        QTest::addColumn<double>("value");
        QTest::addColumn<QByteArray>("field");
        QTest::newRow("-123.456") << -123.456 << QByteArray("-123.46");
        QTest::newRow("12345.67 cut") << 12345.67 << QByteArray("12345.6");
        // "%4.2f" rounds the exact binary value; an exact tie goes to the even digit.
        QTest::newRow("tie 0.125") << 0.125 << QByteArray("0.12   ");
        QTest::newRow("negative zero") << -0.0 << QByteArray("-0.00  ");
    }

    void valueFields()
    {
        QFETCH(double, value);
        QTEST(ValueField(value), "field");
    }

    void headerLayout()
    {
        CNodeDataSave s;
        Fill(s, 3);
        const QByteArray text = BuildText(s);
        QCOMPARE(text.size(), 163 + 3 * 2 * 7);
        QCOMPARE(text.left(32), QByteArray("Freezer 3").leftJustified(32, ' '));
        QCOMPARE(text.mid(32, 16), QByteArray("00124b0001a2b3c4"));
        QCOMPARE(text.mid(48, 3), QByteArray("136"));
        QCOMPARE(text.mid(51, 14), QByteArray("2024 1 5 9 3 7"));
        QCOMPARE(text.mid(79, 11), QByteArray("   60     3"));
        QCOMPARE(text.mid(90, 7), QByteArray("-10.00 ")); // channel 1 minimum
        QCOMPARE(text.mid(132, 10), QByteArray("  4-123.46"));
        QCOMPARE(text.mid(163, 14), QByteArray("-10.00 50.00  "));

        const Key key{9, 8, 7, 6, 5};
        const QByteArray file = BuildFile(s, key);
        QCOMPARE(file.size(), 5 + text.size());
        QCOMPARE(file.left(5), QByteArray("\x09\x08\x07\x06\x05", 5));
        QCOMPARE(Unscramble(file.mid(5), key), text);

        // A name of multi-byte characters is cut on a character boundary to 32 bytes.
        s.name = QString(20, QChar(0x6E29)); // 3 bytes each in UTF-8
        const QByteArray named = BuildText(s);
        QCOMPARE(named.size(), 163 + 42);
        QCOMPARE(QString::fromUtf8(named.left(32)).trimmed(), QString(10, QChar(0x6E29)));
    }

    void roundTripOfNarrowedRange()
    {
        CNodeDataSave s;
        Fill(s, 100);
        // The operator narrows the range to samples 10 .. 19.
        QVERIFY(s.ComputeRangeStatistics(s.times()[10] - 30, s.times()[19]));
        QCOMPARE(s.rangeFirst, 10);
        QCOMPARE(s.rangeCount, 10);
        const float shownMax = s.ch1Max;

        const QString path = TempPath(QStringLiteral("narrow.cvdf"));
        CCorvFile writer(s);
        QCOMPARE(writer.SaveDataFile(path), 1);
        QCOMPARE(QFileInfo(path).size(), qint64(168 + 10 * 2 * 7));

        CNodeDataSave back;
        CCorvFile reader(back);
        QCOMPARE(reader.OpenDataFile(path), 1);
        QCOMPARE(back.rangeFirst, 0);
        QCOMPARE(back.rangeCount, 10);
        QCOMPARE(back.recordStart, s.times()[10]);
        QCOMPARE(back.recordEnd, s.times()[19]);
        QCOMPARE(Values(back.ch1(), back.ch1Count), Values(s.ch1() + 10, 10));
        QCOMPARE(Values(back.ch2(), back.ch2Count), Values(s.ch2() + 10, 10));
        QCOMPARE(back.ch1Max, shownMax);
        QCOMPARE(back.ch1Lower, -123.46f);
    }

    void damagedFilesRefused()
    {
        CNodeDataSave s;
        Fill(s, 20);
        const QByteArray good = BuildFile(s, {3, 1, 4, 1, 5});
        CNodeDataSave target;
        Fill(target, 4);
        const QString before = target.name;

        // Cut, extended, the header alone (the length a file of no samples would have), a flipped key
        // byte and a flipped text byte, empty (random bytes are the fuzz replay's business).
        QList<QByteArray> bad = {good.left(good.size() - 7), good + QByteArray(7, 'x'), good.left(168)};
        QByteArray keyFlip = good;
        keyFlip[0] = static_cast<char>(keyFlip[0] ^ 0x55);
        bad << keyFlip;
        QByteArray textFlip = good;
        textFlip[5 + 84] = static_cast<char>(textFlip[5 + 84] ^ 0x10); // inside the count field
        bad << textFlip;
        bad << QByteArray();
        for (const QByteArray &b : bad) {
            QCOMPARE(ParseFile(b, target), 0);
            QCOMPARE(target.name, before);
        }

        CCorvFile file(target);
        QCOMPARE(file.OpenDataFile(TempPath(QStringLiteral("missing.cvdf"))), 0);
        QVERIFY(WriteFile(TempPath(QStringLiteral("short.cvdf")), good.left(100)));
        QCOMPARE(file.OpenDataFile(TempPath(QStringLiteral("short.cvdf"))), 0);
        QCOMPARE(target.name, before);
    }

    void tooManySamplesRefused()
    {
        // A text announcing 200001 samples of one channel, with the length to match.
        CNodeDataSave s;
        Fill(s, 1, 0x80);
        QByteArray text = BuildText(s);
        text.replace(84, 6, QByteArray("200001"));
        text.truncate(163);
        text += QByteArray(200001 * 7, '1');
        const Key key{5, 4, 3, 2, 1};
        QByteArray file(reinterpret_cast<const char *>(key.data()), 5);
        file += Scramble(text, key);
        CNodeDataSave target;
        Fill(target, 3);
        QCOMPARE(ParseFile(file, target), 0);
        QCOMPARE(target.rangeCount, 3);

        // Exactly the capacity is accepted.
        text.replace(84, 6, QByteArray("200000"));
        text.truncate(163 + 200000 * 7);
        file = QByteArray(reinterpret_cast<const char *>(key.data()), 5) + Scramble(text, key);
        QCOMPARE(ParseFile(file, target), 1);
        QCOMPARE(target.rangeCount, 200000);
        QCOMPARE(target.ch1()[199999], 1111111.0f);
    }

    void unreadableFieldsReadAsZero()
    {
        CNodeDataSave s;
        Fill(s, 2, 0x80);
        QByteArray text = BuildText(s);
        text.replace(90, 7, QByteArray("garbage"));      // channel 1 minimum
        text.replace(163 + 7, 7, QByteArray("???????")); // second sample
        const Key key{0, 0, 0, 0, 0};
        const QByteArray file = QByteArray(5, '\0') + Scramble(text, key);
        CNodeDataSave target;
        QCOMPARE(ParseFile(file, target), 1);
        QCOMPARE(target.ch1Min, 0.0f);
        QCOMPARE(target.ch1()[0], s.ch1()[0]);
        QCOMPARE(target.ch1()[1], 0.0f);
    }

    void impossibleHeadersRefused_data()
    {
        QTest::addColumn<int>("at");
        QTest::addColumn<QByteArray>("field");
        QTest::addColumn<int>("fault");
        const auto row = [](const char *name, int at, const char *field, Fault fault) {
            QTest::newRow(name) << at << QByteArray(field) << int(fault);
        };
        row("interval 0", 79, "    0", Fault::BadInterval);
        row("start year unreadable", 51, "yyyy", Fault::BadDate);
        row("minimum overflows", 90, "9e99   ", Fault::BadValue);
        row("sample overflows", 163 + 7, "1e39   ", Fault::BadValue);
        row("count 0", 84, "     0", Fault::BadCount);
        row("type without channel", 48, "  0", Fault::NoChannels);
    }

    void impossibleHeadersRefused()
    {
        QFETCH(int, at);
        QFETCH(QByteArray, field);
        CNodeDataSave s;
        Fill(s, 2, 0x80);
        QByteArray text = BuildText(s);
        text.replace(at, field.size(), field);
        const Key key{9, 8, 7, 6, 5};
        const QByteArray file =
            QByteArray(reinterpret_cast<const char *>(key.data()), 5) + Scramble(text, key);
        CNodeDataSave target;
        Fill(target, 3);
        QCOMPARE(ParseFile(file, target), 0);
        QCOMPARE(target.rangeCount, 3);
        QTEST(int(ReadFile(file, target)), "fault");
    }

    void headerThatDoesNotFitIsNotWritten()
    {
        CNodeDataSave s;
        Fill(s, 3);
        const QString path = TempPath(QStringLiteral("keep.cvdf"));
        CCorvFile f(s);
        QCOMPARE(f.SaveDataFile(path), 1);
        const QByteArray kept = ReadFile(path);

        s.interval = 100000; // six digits in a five-character field
        QVERIFY(BuildText(s).isEmpty());
        QCOMPARE(f.SaveDataFile(path), 0);
        s.interval = 60;
        s.nodeKey = QStringLiteral("abc");
        QCOMPARE(f.SaveDataFile(path), 0);
        s.nodeKey = QStringLiteral("00124b0001a2b3c4");
        s.rangeCount = 0; // nothing selected
        QCOMPARE(f.SaveDataFile(path), 0);
        s.rangeCount = 3;
        QCOMPARE(f.SaveDataFile(TempPath(QStringLiteral("no/such/folder/x.cvdf"))), 0);

        QCOMPARE(ReadFile(path), kept); // refused saves left the earlier file alone
    }

    void chosenFileAndRememberedFolders()
    {
        const QString folder = TempPath(QStringLiteral("chosen"));
        QVERIFY(QDir().mkpath(folder));
        CNodeDataSave s;
        Fill(s, 4);
        CCorvFile f(s);
        QCOMPARE(f.SaveDataFile(folder + QStringLiteral("/a.CVDF")), 1);
        QCOMPARE(f.OpenChosenDataFile(folder + QStringLiteral("/a.CVDF")), 0); // extension not exact
        QVERIFY(CCorvFile::RememberedOpenFolder().isEmpty());

        QCOMPARE(CCorvFile::InitialFolder(folder + QStringLiteral("/gone")),
                 AppSettings::Instance().DataSaveFolder());
    }
};

QTEST_GUILESS_MAIN(TestDataFile)
#include "test_datafile.moc"
