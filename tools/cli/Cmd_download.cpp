// corvane-cli download and plan: download the recorded history of loggers into the database,
// and set a logger's download plan, with the rules and texts of the download view.
#include "CliSession.h"
#include "DownloadJson.h"
#include "HistoryArgs.h"

#include "base/CvTime.h"
#include "base/StringTable.h"
#include "network/CCorvaneBeeNode.h"
#include "storage/CCorvaneODBC.h"
#include "views/core/DownloadCells.h"
#include "views/core/DownloadPlans.h"

namespace {

constexpr int kDefaultSeconds = 600;
constexpr quint8 kCompleted = 16; // "下载完成"

// --from and --to: both or neither. mode 1 with the range when given.
bool TakeRange(QStringList &args, quint8 &mode, qint64 &from, qint64 &to)
{
    QString fromText;
    QString toText;
    const bool hasFrom = cli::TakeOption(args, QStringLiteral("--from"), fromText);
    const bool hasTo = cli::TakeOption(args, QStringLiteral("--to"), toText);
    if (hasFrom != hasTo)
        return false;
    mode = hasFrom ? 1 : 0;
    if (!hasFrom)
        return true;
    const std::optional<qint64> f = cli::ParseTime(fromText);
    const std::optional<qint64> t = cli::ParseTime(toText);
    if (!f || !t)
        return false;
    from = *f;
    to = *t;
    return true;
}

} // namespace

int RunDownload(const cli::GlobalOptions &global, QStringList args)
{
    quint8 mode = 0;
    qint64 from = 0;
    qint64 to = 0;
    int seconds = 0;
    if (!TakeRange(args, mode, from, to) || !cli::TakeSeconds(args, kDefaultSeconds, seconds) ||
        args.isEmpty())
        return cli::UsageOf("download");
    if (DownloadPlans::CheckRange(mode, from, to))
        return cli::Fail(LoadStr(DownloadPlans::kInvalidTime)); // 错误：指定时间无效

    cli::Session session;
    std::vector<int> ids;
    if (const int status = session.OpenLoggers(global, args, ids))
        return status;
    CCorvaneBeeNode &table = theNodeTable();
    for (const int id : ids)
        DownloadPlans::SetMode(table, id, mode, from, to);

    CDownloadListModel model(table, session.Database());
    cli::CommandBatch batch;
    batch.kind = RequestKind::Download;
    batch.aspect = NodeAspect::Download;
    batch.state = [&table](int id) { return table.GetDownloadCmdState(id); };
    batch.setState = [&table](int id, quint8 state) { table.SetDownloadCmdState(id, state); };
    batch.queuedState = DownloadPlans::kStateStarted;
    batch.pending = &DownloadCells::IsPending;
    batch.report = [&session](int id, quint8 state) {
        cli::PrintJson(cli::StoredRecordJson(session.Database(), id, state));
        return state == kCompleted;
    };
    return cli::RunBatch(session, global, model, ids, batch, seconds);
}

namespace {

// "daily HH:MM:SS" (today at that time), "once TIME" or "none".
bool ParsePlan(const QStringList &args, quint8 &mode, qint64 &time)
{
    const QString kind = args.value(1);
    if (kind == QLatin1String("none") && args.size() == 2) {
        mode = DownloadPlans::None;
        time = 0;
        return true;
    }
    if (args.size() != 3)
        return false;
    if (kind == QLatin1String("daily")) {
        const QStringList hms = args[2].split(QLatin1Char(':'));
        const CvTime::LocalFields today = CvTime::ToLocal(CvTime::Now());
        bool ok[3] = {false, false, false};
        const std::optional<qint64> t =
            hms.size() == 3 ? CvTime::FromLocal({today.year, today.month, today.day, hms[0].toInt(&ok[0]),
                                                 hms[1].toInt(&ok[1]), hms[2].toInt(&ok[2])})
                            : std::nullopt;
        mode = DownloadPlans::Daily;
        time = t.value_or(0);
        return t && ok[0] && ok[1] && ok[2];
    }
    const std::optional<qint64> t = cli::ParseTime(args[2]);
    mode = DownloadPlans::Once;
    time = t.value_or(0);
    return kind == QLatin1String("once") && t;
}

} // namespace

int RunPlan(const cli::GlobalOptions &global, QStringList args)
{
    quint8 mode = 0;
    qint64 time = 0;
    if (args.size() < 2 || !ParsePlan(args, mode, time))
        return cli::UsageOf("plan");
    if (DownloadPlans::CheckPlan(mode, time, CvTime::Now()))
        return cli::Fail(LoadStr(DownloadPlans::kInvalidTime)); // 错误：指定时间无效
    cli::Session session;
    std::vector<int> ids;
    if (const int status = session.OpenLoggers(global, args.mid(0, 1), ids))
        return status;
    CCorvaneODBC &db = session.Database();
    if (!DownloadPlans::SavePlan(db, ids.front(), mode, time))
        return cli::Fail(db.LastError());
    (void)db.SeekLookupNode(ids.front());
    const NodeRow &row = db.LookupCursor().Row();
    cli::PrintJson(
        {{QStringLiteral("node"), row.id},
         {QStringLiteral("address"), row.extaddress},
         {QStringLiteral("planMode"), int(row.downloadplanmode)},
         {QStringLiteral("planTime"), row.downloadplantime},
         {QStringLiteral("plan"), DownloadCells::PlanText(row.downloadplanmode, row.downloadplantime)}});
    return 0;
}
