#include "AffairTestKit.h"

#include "base/AppSettings.h"
#include "network/EngineEvents.h"

namespace affairkit {

FrameCodec::ExtAddress Ext(quint8 seed)
{
    FrameCodec::ExtAddress a{};
    for (int i = 0; i < 8; ++i)
        a[size_t(i)] = quint8(seed + i);
    return a;
}

QString ExtText(quint8 seed)
{
    return FrameCodec::AddressToText(Ext(seed));
}

Rig::Rig(CUartAffairLink *external) : link(external ? *external : *new CUartAffairLink)
{
    if (!external)
        m_own.reset(&link);
    AppSettings::Instance().SetLanguage(UiLanguage::Chinese);
    CCorvaneBeeNode &table = theNodeTable();
    table.MoveFirst();
    while (!table.IsEOF())
        table.RemoveNode(table.GetCurrentId());
    table.ClearPhoneBook();
    auto fake = std::make_unique<FakeServices>();
    services = fake.get();
    link.SetServices(std::move(fake));
    link.SetClock([this] { return now; });
    ConnectEngineToTable(link, table, this);
    NetworkNotifier &notifier = table.Notifier();
    connect(&notifier, &NetworkNotifier::nodeChanged, this, [this](int id, NodeAspect aspect) {
        notices.push_back({Event::NodeChanged, id, aspect});
    });
    connect(&notifier, &NetworkNotifier::nodeLost, this, [this](int id) {
        notices.push_back({Event::NodeLost, id});
    });
    connect(&notifier, &NetworkNotifier::allNodesChanged, this,
            [this] { notices.push_back({Event::AllNodesChanged}); });
    connect(&notifier, &NetworkNotifier::gprsLockFinished, this, [this](bool ok) {
        notices.push_back({Event::GprsLockFinished, ok ? 1 : 0});
    });
    connect(&link, &CUartAffairLink::messageLogged, this,
            [this](bool nodeLost) { logged.push_back(nodeLost); });
    connect(&link, &CUartAffairLink::finishedAvailable, this, [this] { ++finishedSignals; });
}

void Rig::AddNode(int id, quint8 seed, const QString &name, quint8 type, int shortAddress)
{
    CCorvaneBeeNode &table = theNodeTable();
    table.AddNode(id);
    table.SetType(id, type);
    table.SetShortAddress(id, shortAddress);
    services->nodes.insert(ExtText(seed), LinkServices::NodeInfo{id, name, type});
    services->addresses.insert(id, ExtText(seed));
}

int Rig::Tick()
{
    ++ticks;
    if (ticks % 5 == 0)
        ++now;
    return link.SendNext();
}

std::vector<int> Rig::TickUntilIdle(int limit)
{
    std::vector<int> sentAt;
    sentSteps.clear();
    for (int i = 1; i <= limit && link.QueueSize() > 0; ++i) {
        if (Tick() == 1) {
            sentAt.push_back(i);
            sentSteps.push_back(FrameStep());
        }
    }
    return sentAt;
}

int Rig::TickUntilFrame(int limit)
{
    for (int i = 1; i <= limit; ++i) {
        if (Tick() == 1)
            return i;
    }
    return -1;
}

QByteArray Rig::Frame() const
{
    const auto &b = link.RequestBuffer();
    return QByteArray(reinterpret_cast<const char *>(b.data()), int(b.size()));
}

FrameCodec::Command Rig::FrameStep() const
{
    const std::optional<FrameCodec::Command> step =
        FrameCodec::RequestCommand(link.RequestBuffer().data() + 4);
    return step.value_or(FrameCodec::Command{});
}

bool Rig::Feed(const QByteArray &answer)
{
    AffairReply reply = testframes::Decode(answer);
    return link.HandleReply(reply);
}

bool Rig::Notified(const Notice &n) const
{
    return std::find(notices.begin(), notices.end(), n) != notices.end();
}

QByteArray Gni(int shortAddress, quint8 seed, quint8 type, quint8 status)
{
    return testframes::NodeInfo(FrameCodec::Command::GNI, shortAddress, testframes::Addr(seed), type, status,
                                0, 4, 0xC0, testframes::Addr(0x70));
}

QByteArray GmdFrom(quint8 seed, float v1, float v2, quint8 status, quint8 events)
{
    return testframes::Gmd(testframes::Addr(seed), 0x88, testframes::Measured(v1), testframes::Measured(v2),
                           status, events, 4, 60, 0xC0, 0x0102);
}

QByteArray GhiFrom(quint8 seed, qint64 start, int logInterval, int dataLength, quint8 type)
{
    return testframes::Ghi(testframes::Addr(seed), testframes::Date7(start), testframes::Date7(start + 3600),
                           0, QByteArray::fromHex("0000000000000000"), logInterval, dataLength, type);
}

} // namespace affairkit
