#include "CliRun.h"

#include "link/FrameCodec.h"

using namespace clitest;
using namespace FrameCodec;

namespace {

QByteArray Ext()
{
    return QByteArray::fromHex("00124b0001020304");
}

} // namespace

// Runs with TZ=Asia/Shanghai.
class TestCliFrame : public QObject {
    Q_OBJECT
private slots:
    void decodeOneFrame()
    {
        const QByteArray gmd =
            BuildAnswer(Command::GMD, Ext() + QByteArray::fromHex("8cf6ff1027050102000e1007"));
        Run run =
            Cli({QStringLiteral("frame"), QStringLiteral("decode"), QString::fromLatin1(gmd.toHex(' '))});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.lines.size(), 1);
        const QJsonObject o = run.lines.first();
        QCOMPARE(o.value("code").toString(), QStringLiteral("GMD"));
        QCOMPARE(o.value("complete").toBool(), true);
        QCOMPARE(o.value("extAddress").toString(), QStringLiteral("00124b0001020304"));
        QCOMPARE(o.value("value1").toDouble(), -0.1);
        QCOMPARE(o.value("rtInterval").toInt(), 3600);

        // A wrong check byte, a wrong length, bad hex: errors with a non-zero status.
        QByteArray bad = gmd;
        bad[bad.size() - 1] = char(bad.at(bad.size() - 1) ^ 1);
        for (const QString &arg : {QString::fromLatin1(bad.toHex()),
                                   QString::fromLatin1(gmd.left(31).toHex()), QStringLiteral("ff7g")}) {
            run = Cli({QStringLiteral("frame"), QStringLiteral("decode"), arg});
            QVERIFY2(run.status != 0, qPrintable(arg));
            QVERIFY(run.lines.isEmpty());
            QVERIFY(!run.err.isEmpty());
        }
    }

    void extractFromStandardInputAndFile()
    {
        quint8 date[7];
        EncodeDate(1405398896, date);
        const QByteArray dates(reinterpret_cast<const char *>(date), 7);
        QByteArray monthThirteen = dates;
        monthThirteen[4] = 13;
        const QByteArray ghiTail = QByteArray(1, 4) + QByteArray::fromHex("2dfbc409") + QByteArray(4, '\0') +
                                   QByteArray::fromHex("000258"
                                                       "000100") +
                                   QByteArray(5, '\0') + QByteArray(1, char(0x88));
        const QByteArray stream =
            QByteArray::fromHex("001122") +
            BuildAnswer(Command::GHI, Ext() + QByteArray(16, '\0') + dates + dates + ghiTail) +
            BuildAnswer(Command::GHI, Ext() + QByteArray(16, '\0') + monthThirteen + dates + ghiTail) +
            BuildAnswer(Command::DLD, Ext() + QByteArray::fromHex("00010002abcd")) +
            BuildAnswer(Command::MBN, QByteArray::fromHex("000393ff"));
        Run run = Cli({QStringLiteral("frame"), QStringLiteral("extract"), QStringLiteral("--chunk"),
                       QStringLiteral("5")},
                      stream);
        QCOMPARE(run.status, 0);
        QCOMPARE(run.lines.size(), 4);
        const QJsonObject ghi = run.lines[0];
        QCOMPARE(ghi.value("startTime").toInteger(), 1405398896);
        QCOMPARE(ghi.value("limit1").toDouble(), -12.35);
        // The invalid date: passed its checks, printed, but incomplete and without startTime.
        QCOMPARE(run.lines[1].value("complete").toBool(), false);
        QVERIFY(!run.lines[1].contains("startTime"));
        const QJsonObject block = run.lines[2].value("block").toObject();
        QCOMPARE(block.value("address").toInt(), 0x100);
        QCOMPARE(block.value("data").toString(), QStringLiteral("abcd"));
        QCOMPARE(run.lines[3].value("gprsBindMask").toInt(), 0x3FF);

        // The same bytes from a file, one chunk per read.
        QFile file(QStringLiteral("stream.bin"));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(stream);
        file.close();
        Run fromFile = Cli({QStringLiteral("frame"), QStringLiteral("extract"), file.fileName()});
        QCOMPARE(fromFile.status, 0);
        QCOMPARE(fromFile.lines, run.lines);

        Run missing =
            Cli({QStringLiteral("frame"), QStringLiteral("extract"), QStringLiteral("no/such/file")});
        QVERIFY(missing.status != 0);
        QVERIFY(!missing.err.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestCliFrame)
#include "test_cli_frame.moc"
