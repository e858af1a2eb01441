// corvane-cli collect: the unattended collector. It stays connected to the receiver as the main
// window does, keeps the network table current, logs the network's events, and runs the
// download plans of the node table with the download view's rules, printing one JSON line per
// event and per stored record.
#include "CliSession.h"
#include "DownloadJson.h"
#include "HistoryArgs.h"

#include "base/CvTime.h"
#include "link/AffairReply.h"
#include "link/CUart_CommApp.h"
#include "network/CCorvaneBeeNode.h"
#include "network/LinkEventHandler.h"
#include "network/LinkSession.h"
#include "views/core/DownloadCells.h"
#include "views/core/DownloadPlans.h"

#include <QTimer>

namespace {

// Plans changed by another program (corvane-cli plan, the window) are read again this often.
constexpr int kRereadMs = 60000;

} // namespace

int RunCollect(const cli::GlobalOptions &global, QStringList args)
{
    int seconds = 0;
    QString clockText;
    const bool clocked = cli::TakeOption(args, QStringLiteral("--clock"), clockText);
    if (!cli::TakeSeconds(args, 0, seconds) || !args.isEmpty())
        return cli::UsageOf("collect");
    const std::optional<qint64> clockStart =
        clocked ? cli::ParseTime(clockText) : std::optional<qint64>(CvTime::Now());
    if (!clockStart)
        return cli::UsageOf("collect");
    const qint64 offset = *clockStart - CvTime::Now();

    cli::Session session;
    if (const int status = session.Open(global))
        return status;
    CCorvaneODBC &db = session.Database();
    CCorvaneBeeNode &table = theNodeTable();
    CDownloadListModel model(table, db);
    model.Reload();
    DownloadPlanner planner(table, db, [&model](int id) {
        const int row = model.RowOf(id);
        return row >= 0 && CUart_CommApp::Instance().SubmitCommand(&model, RequestKind::Download, row) == 1;
    });
    planner.SetClock([offset] { return CvTime::Now() + offset; });
    planner.SetConnected([&session] { return session.Link().State().IsConnected(); });

    NetworkNotifier &notifier = session.Link().Notifier();
    QObject::connect(&notifier, &NetworkNotifier::nodeChanged, &planner,
                     [&planner](int id, NodeAspect aspect) {
                         if (aspect == NodeAspect::Download)
                             planner.NodeUpdated(id);
                     });
    const auto reread = [&model, &planner] {
        model.Reload();
        planner.ArmAll();
    };
    QObject::connect(&notifier, &NetworkNotifier::topologyChanged, &planner, reread);
    QTimer rereadTimer;
    QObject::connect(&rereadTimer, &QTimer::timeout, &planner, reread);
    rereadTimer.start(kRereadMs);
    QObject::connect(&planner, &DownloadPlanner::planFired, &planner, [](int id, qint64 planTime) {
        cli::PrintJson({{QStringLiteral("event"), QStringLiteral("planfired")},
                        {QStringLiteral("node"), id},
                        {QStringLiteral("planTime"), planTime}});
    });
    QObject::connect(&session.Link().Handler(), &LinkEventHandler::recordApplied, &planner,
                     [&db, &table](const AffairReply &record, int id) {
                         if (record.type == FrameCodec::Command::DLD && record.block && id >= 0)
                             cli::PrintJson(cli::StoredRecordJson(db, id, table.GetDownloadCmdState(id)));
                     });
    planner.ArmAll();
    return session.Run(global, seconds, QString());
}
