#include "DemoSetup.h"

#include "SimReceiver.h"

#include "base/AppSettings.h"
#include "base/ValueFormat.h"
#include "storage/CCorvaneODBC.h"
#include "storage/HistoryTables.h"

#include <QDateTime>

#include <QDir>
#include <QFile>
#include <QRandomGenerator>

// Static libraries register their resources only when asked; the call must stand outside any
// namespace.
static void RegisterDemoResources()
{
    Q_INIT_RESOURCE(sim);
}

namespace {

[[nodiscard]] bool AddDemoNode(CCorvaneODBC &db, const QString &name, const FrameCodec::ExtAddress &address,
                               quint8 type, int parentId, const SimRecording *rec)
{
    NodeChange change;
    change.mask = 0x7CB6;
    change.values.name = name;
    change.values.extaddress = FrameCodec::AddressToText(address);
    change.values.type = type;
    change.values.fatherid = parentId;
    change.values.runstate = 1;
    change.values.channel1_lower = rec ? rec->limits[0] : kNoValue;
    change.values.channel1_upper = rec ? rec->limits[1] : kNoValue;
    change.values.channel2_lower = rec && (type & 0x08) ? rec->limits[2] : kNoValue;
    change.values.channel2_upper = rec && (type & 0x08) ? rec->limits[3] : kNoValue;
    change.values.sampleCap = rec ? qint32(rec->interval) : 0;
    return db.SaveNode(change) == 1;
}

// The logger's recording so far, stored as if it had been downloaded once, so that the history
// view has something to show from the first start.
[[nodiscard]] bool StoreDemoHistory(CCorvaneODBC &db, const SimNode &node)
{
    const SimRecording &rec = node.rec;
    const int records = int(rec.data.size()) / node.BytesPerRecord();
    if (records < 1 || rec.interval <= 0)
        return true;
    HistoryBlockInput block;
    block.nodeKey = FrameCodec::AddressToText(node.address);
    block.nodeName = node.name;
    block.startTime = rec.start;
    block.endTime = rec.start + qint64(records) * rec.interval;
    block.interval = rec.interval;
    block.alarmFlag = rec.alarmMode;
    block.ch1Lower = rec.limits[0];
    block.ch1Upper = rec.limits[1];
    block.ch2Lower = rec.limits[2];
    block.ch2Upper = rec.limits[3];
    block.deviceType = node.type;
    block.data = rec.data.left(records * node.BytesPerRecord());
    block.total = block.received = block.data.size();
    return db.History().StoreHistoryBlock(block) == 1;
}

} // namespace

namespace DemoSetup {

QString ScenarioPath()
{
    static const bool registered = (RegisterDemoResources(), true);
    Q_UNUSED(registered);
    return QStringLiteral(":/sim/demo-network.json");
}

std::unique_ptr<SimReceiver> StartReceiver(QString *error)
{
    auto receiver = std::make_unique<SimReceiver>(SimClock::System(), QRandomGenerator::system()->generate());
    if (!receiver->LoadScenarioFile(ScenarioPath(), error) || !receiver->OpenPty(error))
        return nullptr;
    return receiver;
}

QString EnsureDatabase(CCorvaneODBC &db, QString *error)
{
    AppSettings &settings = AppSettings::Instance();
    const QString named = settings.ReadKey(QStringLiteral("database"), QStringLiteral("mdb"));
    if (!named.isEmpty() && QFile::exists(settings.DatabaseFolder() + QLatin1Char('/') + named))
        return named;

    const QString name = QString::fromLatin1(kDatabaseName);
    const QString path = settings.DatabaseFolder() + QLatin1Char('/') + name;
    if (!QFile::exists(path)) {
        QDir().mkpath(settings.DatabaseFolder());
        // Read at the present moment, so that the recordings hold their samples up to now.
        SimReceiver scenario(SimClock::Manual(QDateTime::currentMSecsSinceEpoch()));
        if (!scenario.LoadScenarioFile(ScenarioPath(), error))
            return {};
        if (!db.CreateDatabase(path) || !db.OpenDatabase(name)) {
            if (error)
                *error = db.LastError();
            return {};
        }
        const SimNetwork &net = scenario.Network();
        bool ok = AddDemoNode(db, QStringLiteral("Receiver"), net.Receiver().address, 0x40, 0, nullptr);
        // Parents stand before their children in the scenario, so their ids are known in time.
        std::vector<int> ids;
        for (const SimNode &node : net.Nodes()) {
            const int parentId = node.parent >= 0 ? ids.at(std::size_t(node.parent)) : 1;
            ok = ok && AddDemoNode(db, node.name, node.address, node.type, parentId,
                                   node.IsLogger() && node.rec.interval > 0 ? &node.rec : nullptr);
            ids.push_back(ok ? db.FindNodeIdByAddress(FrameCodec::AddressToText(node.address)) : -1);
            ok = ok && (!node.IsLogger() || StoreDemoHistory(db, node));
        }
        db.CloseDatabase();
        if (!ok) {
            if (error)
                *error = db.LastError();
            QFile::remove(path);
            return {};
        }
    }
    if (!settings.WriteKey(QStringLiteral("database"), QStringLiteral("mdb"), name)) {
        if (error)
            *error = QStringLiteral("cannot write the settings file %1").arg(settings.SettingsFilePath());
        return {};
    }
    return name;
}

} // namespace DemoSetup
