#include "AffairTestKit.h"

#include <QtTest>

#include <map>

using namespace affairkit;

// Both GPRS transactions against a scripted receiver that stores what is written and echoes it.
namespace {

QByteArray Phone(const QByteArray &digits)
{
    return digits + QByteArray(16 - digits.size(), '\0');
}

QByteArray Info(char fill)
{
    QByteArray b(48, '\0');
    for (int i = 0; i < 12; ++i)
        b[i] = char(fill + i);
    return b;
}

GprsName ToName(const QByteArray &b)
{
    GprsName n{};
    std::copy(b.begin(), b.begin() + 48, n.begin());
    return n;
}

class ScriptedReceiver {
public:
    struct Entry {
        QByteArray ext;
        QByteArray info = QByteArray(48, '\0');
        int bind = 0;
    };

    int mask = 0;
    QByteArray phones[10];
    int loggerCount = 0;
    std::map<int, Entry> entries;
    // Applied to every answer before it is sent (a receiver that stores something else).
    std::function<void(FrameCodec::Command step, QByteArray &answer)> tamper;

    QByteArray Answer(const QByteArray &frame, FrameCodec::Command step)
    {
        const auto *p = reinterpret_cast<const quint8 *>(frame.constData());
        const int index = int(FrameCodec::Get16(p + 8));
        const QByteArray after = frame.mid(10);
        QByteArray answer;
        switch (step) {
        case FrameCodec::Command::MSQ:
            mask = FrameCodec::DecodeMask10(p + 8);
            [[fallthrough]];
        case FrameCodec::Command::MGQ:
            answer = testframes::Mgq(testframes::Mask10(mask));
            break;
        case FrameCodec::Command::MSN:
            phones[index] = after.left(16);
            [[fallthrough]];
        case FrameCodec::Command::MGN:
            answer = testframes::Mgn(index, phones[index].leftJustified(16, '\0'));
            break;
        case FrameCodec::Command::MDQ:
            loggerCount = index;
            [[fallthrough]];
        case FrameCodec::Command::MEQ:
            answer = testframes::Meq(loggerCount);
            break;
        case FrameCodec::Command::MDI:
            entries[index].ext = after.left(8);
            [[fallthrough]];
        case FrameCodec::Command::MEI:
            answer = testframes::Mei(index, entries[index].ext);
            break;
        case FrameCodec::Command::MDN:
            entries[index].info = after.left(48);
            [[fallthrough]];
        case FrameCodec::Command::MEN:
            answer = testframes::Men(index, entries[index].info);
            break;
        case FrameCodec::Command::MAN:
            entries[index].bind = FrameCodec::DecodeMask10(p + 10);
            [[fallthrough]];
        case FrameCodec::Command::MBN:
            answer = testframes::Mbn(index, testframes::Mask10(entries[index].bind));
            break;
        default:
            break;
        }
        if (tamper && !answer.isEmpty())
            tamper(step, answer);
        return answer;
    }
};

// Ticks, answering every frame, until the queue is empty; the steps sent in order.
std::vector<FrameCodec::Command> Run(Rig &rig, ScriptedReceiver &receiver, int limit = 2000)
{
    std::vector<FrameCodec::Command> steps;
    while (rig.link.QueueSize() > 0 && rig.ticks < limit) {
        if (rig.Tick() != 1)
            continue;
        steps.push_back(rig.FrameStep());
        const QByteArray answer = receiver.Answer(rig.Frame(), steps.back());
        if (!answer.isEmpty() && !rig.Feed(answer)) {
            QTest::qFail("the engine refused an answer", __FILE__, __LINE__);
            break;
        }
    }
    return steps;
}

std::vector<FrameCodec::Command> Repeat(std::initializer_list<FrameCodec::Command> group, int times)
{
    std::vector<FrameCodec::Command> v;
    for (int i = 0; i < times; ++i)
        v.insert(v.end(), group);
    return v;
}

std::vector<FrameCodec::Command> Concat(std::initializer_list<std::vector<FrameCodec::Command>> parts)
{
    std::vector<FrameCodec::Command> v;
    for (const auto &p : parts)
        v.insert(v.end(), p.begin(), p.end());
    return v;
}

constexpr quint8 kLoggerA = 0x30; // node 2
constexpr quint8 kLoggerB = 0x50; // node 3

void AddNetwork(Rig &rig)
{
    rig.AddNode(1, 0x20, QStringLiteral("Receiver"), 0x40, 0);
    rig.AddNode(2, kLoggerA, QStringLiteral("A"), 0x80, 5);
    rig.AddNode(3, kLoggerB, QStringLiteral("B"), 0x88, 6);
}

} // namespace

class TestGprsFlows : public QObject {
    Q_OBJECT
private slots:
    void selfCheckReadsEverythingBack_data()
    {
        QTest::addColumn<int>("receiverMask");
        QTest::addColumn<QByteArray>("receiverSlot1");
        QTest::addColumn<int>("loggers");
        QTest::addColumn<int>("confirmed");
        QTest::newRow("same phone book") << 0x3 << QByteArray("10086") << 2 << 1;
        QTest::newRow("a slot differs") << 0x3 << QByteArray("10010") << 2 << 0;
        QTest::newRow("mask differs") << 0x7 << QByteArray("10086") << 2 << 0;
        QTest::newRow("no loggers: ends after the count") << 0x1 << QByteArray("10086") << 0 << 0;
    }
    void selfCheckReadsEverythingBack()
    {
        QFETCH(int, receiverMask);
        QFETCH(QByteArray, receiverSlot1);
        QFETCH(int, loggers);
        Rig rig;
        AddNetwork(rig);
        CCorvaneBeeNode &table = theNodeTable();
        QCOMPARE(table.SetPhone(0, QStringLiteral("13800138000")), 1);
        QCOMPARE(table.SetPhone(1, QStringLiteral("10086")), 1);

        ScriptedReceiver receiver;
        receiver.mask = receiverMask;
        receiver.phones[0] = Phone("13800138000");
        receiver.phones[1] = Phone(receiverSlot1);
        receiver.loggerCount = loggers;
        if (loggers > 0) {
            receiver.entries[0] = {testframes::Addr(kLoggerB), Info('b'), 0x1};
            receiver.entries[1] = {testframes::Addr(kLoggerA), Info('a'), 0x2};
        }

        QVERIFY(rig.link.Create(RequestKind::SelfCheck, FrameCodec::ExtAddress{}));
        rig.link.SetGprsStart(0, 0);
        QCOMPARE(rig.link.Commit(), 1);
        QCOMPARE(rig.Tick(), 1);
        QVERIFY(rig.Feed(receiver.Answer(rig.Frame(), FrameCodec::Command::MGQ)));

        const std::vector<FrameCodec::Command> steps = Run(rig, receiver);
        const std::vector<FrameCodec::Command> phones =
            receiverMask == 0x3 ? Repeat({FrameCodec::Command::MGN}, 10) : std::vector<FrameCodec::Command>{};
        QCOMPARE(
            steps,
            Concat({phones,
                    {FrameCodec::Command::MEQ},
                    Repeat({FrameCodec::Command::MEI, FrameCodec::Command::MEN, FrameCodec::Command::MBN},
                           loggers)}));
        QTEST(table.GetPhoneListState(), "confirmed");
        QCOMPARE(rig.link.FirstFinished()->type, FrameCodec::Command::SelfCheckResult);
        QCOMPARE(table.GetGprsSlot(2), loggers ? 1 : -1);
        QCOMPARE(table.GetGprsSlot(3), loggers ? 0 : -1);
        if (loggers) {
            QVERIFY(table.SameGprsName(2, ToName(Info('a'))));
            QCOMPARE(table.GetGprsBindMask(2), 0x2u);
        }
    }

    void lockWritesAndVerifiesEverything()
    {
        Rig rig;
        AddNetwork(rig);
        CCorvaneBeeNode &table = theNodeTable();
        QCOMPARE(table.SetPhone(0, QStringLiteral("13800138000")), 1);
        QCOMPARE(table.SetPhone(3, QStringLiteral("10086")), 1);
        table.SetGprsName(2, ToName(Info('a')));
        table.SetGprsName(3, ToName(Info('b')));
        table.SetGprsBindMask(2, 0x8);
        table.SetGprsBindMask(3, 0x9);

        QVERIFY(rig.link.Create(RequestKind::GprsLock, FrameCodec::ExtAddress{}));
        table.SetPhoneListState(0);
        rig.link.SetGprsStart(table.CountLoggers(), qint32(table.GetPhoneMask()));
        QCOMPARE(rig.link.Commit(), 1);

        ScriptedReceiver receiver;
        const std::vector<FrameCodec::Command> steps = Run(rig, receiver);
        QCOMPARE(
            steps,
            Concat(
                {{FrameCodec::Command::MSQ},
                 Repeat({FrameCodec::Command::MSN}, 10),
                 {FrameCodec::Command::MDQ},
                 Repeat({FrameCodec::Command::MDI, FrameCodec::Command::MDN, FrameCodec::Command::MAN}, 2)}));
        QCOMPARE(receiver.mask, 0x9);
        QCOMPARE(receiver.phones[0], Phone("13800138000"));
        QCOMPARE(receiver.phones[3], Phone("10086"));
        // Every logger holds a slot now, and the receiver's entry of that slot is the logger's.
        for (int id : {2, 3}) {
            const int slot = table.GetGprsSlot(id);
            QVERIFY(slot == 0 || slot == 1);
            const auto &entry = receiver.entries.at(slot);
            QCOMPARE(entry.ext, testframes::Addr(id == 2 ? kLoggerA : kLoggerB));
            QCOMPARE(entry.info, Info(id == 2 ? 'a' : 'b'));
            QCOMPARE(entry.bind, id == 2 ? 0x8 : 0x9);
        }
        QVERIFY(table.GetGprsSlot(2) != table.GetGprsSlot(3));
        QCOMPARE(rig.link.FirstFinished()->type, FrameCodec::Command::GprsLockResult);
    }

    void lockRetransmitsAMismatchingEchoUntilItTimesOut()
    {
        Rig rig;
        AddNetwork(rig);
        CCorvaneBeeNode &table = theNodeTable();
        table.SetGprsName(2, ToName(Info('a')));
        table.SetGprsName(3, ToName(Info('b')));
        QVERIFY(rig.link.Create(RequestKind::GprsLock, FrameCodec::ExtAddress{}));
        rig.link.SetGprsStart(table.CountLoggers(), 0);
        QCOMPARE(rig.link.Commit(), 1);

        ScriptedReceiver receiver;
        // The receiver stores a different information block than the one written.
        receiver.tamper = [](FrameCodec::Command step, QByteArray &answer) {
            if (step == FrameCodec::Command::MDN) {
                answer[20] = char(answer[20] ^ 0x01);
                answer = FrameCodec::BuildAnswer(FrameCodec::Command::MEN, answer.mid(7, 50));
            }
        };
        const std::vector<FrameCodec::Command> steps = Run(rig, receiver);
        QCOMPARE(steps, Concat({{FrameCodec::Command::MSQ},
                                Repeat({FrameCodec::Command::MSN}, 10),
                                {FrameCodec::Command::MDQ, FrameCodec::Command::MDI},
                                Repeat({FrameCodec::Command::MDN}, 7)}));
        QCOMPARE(rig.link.QueueSize(), 0);
        QCOMPARE(rig.link.FinishedCount(), 0);
        QVERIFY(rig.Notified({Event::GprsLockFinished, 0}));
        QCOMPARE(rig.services->saved[0].type, QStringLiteral("中断"));
        QCOMPARE(rig.services->saved[0].text, QStringLiteral("锁定GPRS信息未完成"));
        // No logger was recorded as written.
        QCOMPARE(table.GetGprsSlot(2), -1);
        QCOMPARE(table.GetGprsSlot(3), -1);
    }
};

QTEST_GUILESS_MAIN(TestGprsFlows)
#include "test_gprsflows.moc"
