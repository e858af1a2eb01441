// corvane-cli realtime: start, stop and fetch the real-time samples of loggers, with the rules
// and progress texts of the real-time view.
#include "CliSession.h"

#include "base/NodeType.h"
#include "network/CCorvaneBeeNode.h"
#include "network/LinkSession.h"
#include "storage/CCorvaneODBC.h"
#include "views/core/ImmeCells.h"
#include "views/core/ImmeRules.h"

#include <QJsonValue>

#include <algorithm>
#include <map>

namespace {

constexpr int kDefaultSeconds = 60;
constexpr qint64 kLongestInterval = 86399; // the picker's 23:59:59

struct RealtimeArgs {
    QString verb;
    ImmeRules::Command command = ImmeRules::Command::Start;
    qint64 interval = 0;
    int samples = 0;
    int seconds = 0;
};

// Reads the verb and options, leaving the addresses in args; 0, or the exit status after the
// usage or an error message.
int ParseRealtimeArgs(QStringList &args, RealtimeArgs &out)
{
    if (args.isEmpty())
        return cli::UsageOf("realtime");
    out.verb = args.takeFirst();
    if (out.verb == QLatin1String("stop"))
        out.command = ImmeRules::Command::Stop;
    else if (out.verb == QLatin1String("fetch"))
        out.command = ImmeRules::Command::Fetch;
    else if (out.verb != QLatin1String("start"))
        return cli::UsageOf("realtime");
    QString intervalText;
    QString samplesText;
    const bool hasInterval = cli::TakeOption(args, QStringLiteral("--interval"), intervalText);
    const bool hasSamples = cli::TakeOption(args, QStringLiteral("--samples"), samplesText);
    const bool starting = out.command == ImmeRules::Command::Start;
    if (!cli::TakeSeconds(args, kDefaultSeconds, out.seconds) || starting != hasInterval ||
        (!starting && hasSamples) || args.isEmpty())
        return cli::UsageOf("realtime");
    if (!starting)
        return 0;
    bool okInterval = false;
    bool okSamples = !hasSamples;
    out.interval = intervalText.toLongLong(&okInterval);
    if (hasSamples)
        out.samples = samplesText.toInt(&okSamples);
    if (!okInterval || out.interval < 1 || out.interval > kLongestInterval || !okSamples || out.samples < 0)
        return cli::Fail(QStringLiteral("--interval takes 1 to 86399 seconds and --samples a count"));
    return 0;
}

QJsonValue Value(float value, bool present)
{
    return present && value > -1000.0f ? QJsonValue(double(value)) : QJsonValue();
}

void PrintSample(CCorvaneBeeNode &table, int id)
{
    const int last = table.GetRtCount(id) - 1;
    if (last < 0)
        return;
    const quint8 type = table.GetType(id);
    cli::PrintJson({{QStringLiteral("event"), QStringLiteral("sample")},
                    {QStringLiteral("node"), id},
                    {QStringLiteral("time"), table.GetRtTime(id, last)},
                    {QStringLiteral("ch1"), Value(table.GetRtCh1(id, last), true)},
                    {QStringLiteral("ch2"), Value(table.GetRtCh2(id, last), NodeType::HasChannel2(type))}});
}

QJsonObject RowJson(const CImmeListModel &model, int id)
{
    QJsonObject row;
    const int r = model.RowOf(id);
    for (int c = RtColName; c < RtColId; ++c)
        row.insert(ImmeCells::ColumnKey(c), model.TextAt(r, c));
    return row;
}

// Prepares the nodes' live records for the command: the interval to write for a start, 0 for a
// stop.
void Prepare(CCorvaneBeeNode &table, const std::vector<int> &ids, const RealtimeArgs &a)
{
    if (a.command == ImmeRules::Command::Start)
        (void)ImmeRules::ApplyInterval(table, ids, a.interval);
    else if (a.command == ImmeRules::Command::Stop) {
        for (const int id : ids)
            ImmeRules::PrepareStop(table, id);
    }
}

} // namespace

int RunRealtime(const cli::GlobalOptions &global, QStringList args)
{
    RealtimeArgs a;
    if (const int status = ParseRealtimeArgs(args, a))
        return status;

    cli::Session session;
    std::vector<int> ids;
    if (const int status = session.OpenLoggers(global, args, ids))
        return status;
    CCorvaneBeeNode &table = theNodeTable();
    Prepare(table, ids, a);

    CImmeListModel model(table, session.Database());
    std::map<int, int> received; // samples per node since the run began
    bool commandsOk = false;
    bool commandsEnded = false;
    const auto finishWhenDone = [&] {
        const bool enough =
            std::all_of(ids.begin(), ids.end(), [&](int id) { return received[id] >= a.samples; });
        if (commandsEnded && (!commandsOk || enough))
            cli::Session::Finish(commandsOk ? 0 : 1);
    };
    QObject::connect(&session.Link().Notifier(), &NetworkNotifier::newSample, &session, [&](int id) {
        if (std::find(ids.begin(), ids.end(), id) == ids.end())
            return;
        PrintSample(table, id);
        ++received[id];
        finishWhenDone();
    });

    cli::CommandBatch batch;
    batch.kind = ImmeRules::KindOf(a.command);
    batch.aspect = NodeAspect::RealTime;
    batch.state = [&table](int id) { return table.GetRtCmdState(id); };
    batch.setState = [&table](int id, quint8 state) { table.SetRtCmdState(id, state); };
    batch.queuedState = ImmeRules::QueuedState(a.command);
    batch.pending = &ImmeCells::IsPending;
    batch.report = [&](int id, quint8 state) {
        const quint8 done = ImmeRules::CompletedState(a.command);
        cli::PrintJson({{QStringLiteral("event"), QStringLiteral("result")},
                        {QStringLiteral("command"), a.verb},
                        {QStringLiteral("node"), id},
                        {QStringLiteral("state"), int(state)},
                        {QStringLiteral("completed"), state == done},
                        {QStringLiteral("held"), table.GetRtCount(id)},
                        {QStringLiteral("row"), RowJson(model, id)}});
        return state == done;
    };
    batch.ended = [&](bool ok) {
        commandsOk = ok;
        commandsEnded = true;
        finishWhenDone();
    };
    return cli::RunBatch(session, global, model, ids, batch, a.seconds);
}
