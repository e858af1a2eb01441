// corvane-cli logging: start recording, stop recording and write alarm limits on loggers, with
// the rules and progress texts of the logging command view.
#include "CliSession.h"
#include "HistoryArgs.h"

#include "base/AppSettings.h"
#include "base/NodeType.h"
#include "base/StringTable.h"
#include "network/CCorvaneBeeNode.h"
#include "storage/CCorvaneODBC.h"
#include "views/core/CommandCells.h"
#include "views/core/LoggingRules.h"

namespace {

constexpr int kDefaultSeconds = 180;

// "LOW,HIGH" in °C (or %RH for a humidity channel), clamped as the panel clamps.
bool ParseLimits(const QString &text, const QString &unit, float &lower, float &upper)
{
    const QStringList parts = text.split(QLatin1Char(','));
    if (parts.size() != 2)
        return false;
    bool okLow = false;
    bool okHigh = false;
    (void)parts[0].toDouble(&okLow);
    (void)parts[1].toDouble(&okHigh);
    if (!okLow || !okHigh)
        return false;
    lower = LoggingRules::LimitValue(parts[0].trimmed(), unit);
    upper = LoggingRules::LimitValue(parts[1].trimmed(), unit);
    return true;
}

struct LimitOptions {
    QString ch1;
    QString ch2;
};

// The parameters for one node: the limits given (alarm on when any is given) and the times.
bool NodeParameters(quint8 type, const LimitOptions &limits, LoggingRules::Parameters &p)
{
    AppSettings &settings = AppSettings::Instance();
    const QString ch2Unit = (type & 0xCC) == 0x8C ? settings.HumidityText() : settings.CelsiusText();
    p.alarm = !limits.ch1.isEmpty() || !limits.ch2.isEmpty();
    if (!limits.ch1.isEmpty() && !ParseLimits(limits.ch1, settings.CelsiusText(), p.ch1Lower, p.ch1Upper))
        return false;
    return limits.ch2.isEmpty() || ParseLimits(limits.ch2, ch2Unit, p.ch2Lower, p.ch2Upper);
}

QJsonObject RowJson(CCommandListModel &model, int id)
{
    QJsonObject row;
    const int r = model.RowOf(id);
    for (int c = CmdColName; c < CmdColId; ++c)
        row.insert(CommandCells::ColumnKey(c), model.TextAt(r, c));
    return row;
}

// Applies the parameters to every node as the panel's apply does; a start time or interval of 0
// keeps the node's pending one (writing alarm limits needs neither). False (after the message)
// when a node refuses them.
bool ApplyAll(const std::vector<int> &ids, const LimitOptions &limits, qint64 start, qint64 interval)
{
    CCorvaneBeeNode &table = theNodeTable();
    for (const int id : ids) {
        LoggingRules::Parameters p;
        p.startTime = start != 0 ? start : table.GetLogStartTime(id);
        p.interval = interval != 0 ? interval : table.GetLogInterval(id);
        if (!NodeParameters(table.GetType(id), limits, p)) {
            cli::Fail(QStringLiteral("limits are given as LOW,HIGH"));
            return false;
        }
        if (const int refusal = LoggingRules::Apply(table, id, p)) {
            CCorvaneODBC &db = theDatabase();
            const QString address =
                db.SeekLookupNode(id) == 1 ? db.LookupCursor().Row().extaddress : QString();
            cli::Fail(LoadStr(refusal) + QStringLiteral(": ") + address);
            return false;
        }
    }
    return true;
}

// What a logging command line asks for.
struct LoggingArgs {
    QString verb;
    RequestKind kind = RequestKind::StartLogging;
    qint64 start = 0;
    qint64 interval = 0;
    LimitOptions limits;
    int seconds = 0;
};

// Reads the verb and options, leaving the addresses in args; 0, or the exit status after the
// usage or an error message.
int ParseLoggingArgs(QStringList &args, LoggingArgs &out)
{
    if (args.isEmpty())
        return cli::UsageOf("logging");
    out.verb = args.takeFirst();
    if (out.verb == QLatin1String("stop"))
        out.kind = RequestKind::StopLogging;
    else if (out.verb == QLatin1String("alarm"))
        out.kind = RequestKind::SetAlarm;
    else if (out.verb != QLatin1String("start"))
        return cli::UsageOf("logging");
    QString startText;
    QString intervalText;
    const bool hasStart = cli::TakeOption(args, QStringLiteral("--start"), startText);
    const bool hasInterval = cli::TakeOption(args, QStringLiteral("--interval"), intervalText);
    (void)cli::TakeOption(args, QStringLiteral("--ch1"), out.limits.ch1);
    (void)cli::TakeOption(args, QStringLiteral("--ch2"), out.limits.ch2);
    const bool starting = out.kind == RequestKind::StartLogging;
    const bool limited = !out.limits.ch1.isEmpty() || !out.limits.ch2.isEmpty();
    if (!cli::TakeSeconds(args, kDefaultSeconds, out.seconds) || starting != (hasStart && hasInterval) ||
        (!starting && (hasStart || hasInterval)) || (out.kind == RequestKind::StopLogging && limited))
        return cli::UsageOf("logging");
    if (!starting)
        return 0;
    const std::optional<qint64> start = cli::ParseTime(startText);
    const std::optional<qint64> interval = cli::ParseInteger(intervalText);
    if (!start || !interval || *interval < 1 || *start < 1)
        return cli::Fail(QStringLiteral("--start takes a time and --interval a number of seconds above 0"));
    out.start = *start;
    out.interval = *interval;
    return 0;
}

} // namespace

int RunLogging(const cli::GlobalOptions &global, QStringList args)
{
    LoggingArgs a;
    if (const int status = ParseLoggingArgs(args, a))
        return status;

    cli::Session session;
    std::vector<int> ids;
    if (const int status = session.OpenLoggers(global, args, ids))
        return status;
    if (a.kind != RequestKind::StopLogging && !ApplyAll(ids, a.limits, a.start, a.interval))
        return 1;

    CCorvaneBeeNode &table = theNodeTable();
    CCommandListModel model(table, session.Database());
    cli::CommandBatch batch;
    batch.kind = a.kind;
    batch.aspect = NodeAspect::Logging;
    batch.state = [&table](int id) { return table.GetLogCmdState(id); };
    batch.setState = [&table](int id, quint8 state) { table.SetLogCmdState(id, state); };
    batch.queuedState = LoggingRules::QueuedState(a.kind);
    batch.pending = &CommandCells::IsPending;
    batch.report = [&](int id, quint8 state) {
        const quint8 done = LoggingRules::CompletedState(a.kind);
        QJsonObject o{{QStringLiteral("event"), QStringLiteral("result")},
                      {QStringLiteral("command"), a.verb},
                      {QStringLiteral("node"), id},
                      {QStringLiteral("state"), int(state)},
                      {QStringLiteral("completed"), state == done},
                      {QStringLiteral("row"), RowJson(model, id)}};
        cli::PrintJson(o);
        return state == done;
    };
    return cli::RunBatch(session, global, model, ids, batch, a.seconds);
}
