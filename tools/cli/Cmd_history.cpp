// corvane-cli history list|dump|summary|export|print|store and datafile dump|save: the history tables and
// data files without a window.
#include "CliCommon.h"
#include "HistoryArgs.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "history/core/HistoryExport.h"
#include "history/core/HistorySummary.h"
#include "history/core/ReportPages.h"
#include "storage/CCorvFile.h"
#include "storage/CCorvaneODBC.h"
#include "storage/HistoryCodec.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QRegularExpression>

#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>

namespace {

using cli::LoadRecord;
using cli::NodeKey;
using cli::OpenDb;
using cli::ParseInteger;
using cli::ParseTime;

double Rounded(float v)
{
    return std::round(static_cast<double>(v) * 100.0) / 100.0;
}

// Takes --db and --node from args and opens that database; 0 on success, else the exit status.
// Without --db the database named in the home's settings is used.
int OpenNodeDatabase(QStringList &args, const char *command, CCorvaneODBC &db, CCorvaneODBC::OpenMode mode,
                     QString &key)
{
    QString dbFile, nodeText;
    if (!cli::TakeOption(args, QStringLiteral("--db"), dbFile))
        dbFile = AppSettings::Instance().DatabaseFileName();
    if (!cli::TakeOption(args, QStringLiteral("--node"), nodeText))
        return cli::UsageOf(command);
    if (dbFile.isEmpty())
        return cli::Fail(QStringLiteral("no database: give --db FILE or choose one in the settings"));
    const std::optional<QString> parsed = NodeKey(nodeText);
    if (!parsed)
        return cli::Fail(QStringLiteral("--node needs 16 hexadecimal digits: %1").arg(nodeText));
    key = *parsed;
    QString error;
    if (!cli::OpenDb(db, dbFile, mode, error))
        return cli::Fail(error);
    return 0;
}

QJsonObject LimitsJson(float l1, float u1, float l2, float u2)
{
    return {{QStringLiteral("ch1Lower"), Rounded(l1)},
            {QStringLiteral("ch1Upper"), Rounded(u1)},
            {QStringLiteral("ch2Lower"), Rounded(l2)},
            {QStringLiteral("ch2Upper"), Rounded(u2)}};
}

QJsonObject StatsJson(float mx, float mn, float avg)
{
    return {{QStringLiteral("max"), Rounded(mx)},
            {QStringLiteral("min"), Rounded(mn)},
            {QStringLiteral("avg"), Rounded(avg)}};
}

// The selected range of the store: a JSON header and one line per sample, or CSV.
void PrintStore(const CNodeDataSave &s, bool csv)
{
    const bool has1 = HistoryCodec::HasChannel1(s.deviceType);
    const bool has2 = HistoryCodec::HasChannel2(s.deviceType);
    const int first = s.rangeFirst;
    const int count = s.HasRange() ? s.rangeCount : 0;
    if (csv) {
        QString head = QStringLiteral("index,time,local");
        if (has1)
            head += QStringLiteral(",ch1");
        if (has2)
            head += QStringLiteral(",ch2");
        cli::PrintLine(head);
        for (int i = 0; i < count; ++i) {
            const int k = first + i;
            QString line =
                QStringLiteral("%1,%2,%3").arg(i).arg(s.times()[k]).arg(CvTime::FormatDateTime(s.times()[k]));
            // A channel with fewer samples than the record (an odd dual-channel segment) shows
            // nothing past its own count.
            if (has1)
                line += QLatin1Char(',') +
                        (k < s.ch1Count ? QString::number(Rounded(s.ch1()[k]), 'f', 2) : QString());
            if (has2)
                line += QLatin1Char(',') +
                        (k < s.ch2Count ? QString::number(Rounded(s.ch2()[k]), 'f', 2) : QString());
            cli::PrintLine(line);
        }
        return;
    }
    QJsonObject header{
        {QStringLiteral("name"), s.name},
        {QStringLiteral("node"), s.nodeKey},
        {QStringLiteral("type"), int(s.deviceType)},
        {QStringLiteral("recordStart"), s.recordStart},
        {QStringLiteral("recordEnd"), s.recordEnd},
        {QStringLiteral("interval"), s.interval},
        {QStringLiteral("rangeFirst"), first},
        {QStringLiteral("rangeCount"), count},
        {QStringLiteral("rangeStart"), count > 0 ? s.times()[first] : 0},
        {QStringLiteral("rangeEnd"), count > 0 ? s.times()[first + count - 1] : 0},
        {QStringLiteral("alarm"), int(s.alarmFlag)},
        {QStringLiteral("limits"), LimitsJson(s.ch1Lower, s.ch1Upper, s.ch2Lower, s.ch2Upper)},
    };
    if (count > 0) {
        header.insert(QStringLiteral("rangeStartText"), CvTime::FormatDateTime(s.times()[first]));
        header.insert(QStringLiteral("rangeEndText"), CvTime::FormatDateTime(s.times()[first + count - 1]));
    }
    if (has1)
        header.insert(QStringLiteral("ch1"), StatsJson(s.ch1Max, s.ch1Min, s.ch1Avg));
    if (has2)
        header.insert(QStringLiteral("ch2"), StatsJson(s.ch2Max, s.ch2Min, s.ch2Avg));
    cli::PrintJson(header);
    for (int i = 0; i < count; ++i) {
        const int k = first + i;
        QJsonObject line{{QStringLiteral("index"), i}, {QStringLiteral("time"), s.times()[k]}};
        if (has1 && k < s.ch1Count)
            line.insert(QStringLiteral("ch1"), Rounded(s.ch1()[k]));
        if (has2 && k < s.ch2Count)
            line.insert(QStringLiteral("ch2"), Rounded(s.ch2()[k]));
        cli::PrintJson(line);
    }
}

int HistoryList(CHistoryStore &h, const QString &key)
{
    if (!h.OpenSummaryTable(key))
        return cli::Fail(QStringLiteral("no history for node %1").arg(key));
    for (int ok = h.MoveFirstRecord(); ok && !h.IsRecordEnd(); ok = h.MoveNextRecord()) {
        const int channels = HistoryCodec::ChannelCount(h.DeviceType());
        QJsonObject o{
            {QStringLiteral("id"), h.RecordId()},
            {QStringLiteral("start"), h.StartTime()},
            {QStringLiteral("end"), h.EndTime()},
            {QStringLiteral("startText"), CvTime::FormatDateTime(h.StartTime())},
            {QStringLiteral("endText"), CvTime::FormatDateTime(h.EndTime())},
            {QStringLiteral("interval"), h.RecordInterval()},
            {QStringLiteral("dataLength"), h.DataLength()},
            {QStringLiteral("samples"), channels > 0 ? h.DataLength() / (2 * channels) : 0},
            {QStringLiteral("alarm"), int(h.AlarmFlag())},
            {QStringLiteral("limits"),
             LimitsJson(h.Channel1Lower(), h.Channel1Upper(), h.Channel2Lower(), h.Channel2Upper())},
            {QStringLiteral("tableCode"), h.TableCode()},
            {QStringLiteral("lastHeaderId"), h.LastHeaderId()},
            {QStringLiteral("name"), h.NodeName()},
            {QStringLiteral("type"), int(h.DeviceType())},
        };
        cli::PrintJson(o);
    }
    return 0;
}

int HistoryStore(CCorvaneODBC &db, const QString &key, QStringList &args)
{
    QString startText, endText, intervalText, typeText, alarmText, limitsText, offsetText;
    if (!cli::TakeOption(args, QStringLiteral("--start"), startText) ||
        !cli::TakeOption(args, QStringLiteral("--end"), endText) ||
        !cli::TakeOption(args, QStringLiteral("--interval"), intervalText) ||
        !cli::TakeOption(args, QStringLiteral("--type"), typeText))
        return cli::UsageOf("history");
    const bool hasAlarm = cli::TakeOption(args, QStringLiteral("--alarm"), alarmText);
    const bool hasLimits = cli::TakeOption(args, QStringLiteral("--limits"), limitsText);
    const bool hasOffset = cli::TakeOption(args, QStringLiteral("--offset"), offsetText);
    if (!args.isEmpty())
        return cli::UsageOf("history");

    HistoryBlockInput b;
    b.nodeKey = key;
    const std::optional<qint64> start = ParseTime(startText);
    const std::optional<qint64> end = ParseTime(endText);
    const std::optional<qint64> interval = ParseInteger(intervalText);
    const std::optional<qint64> type = ParseInteger(typeText);
    // The interval is stored in three bytes.
    if (!start || !end || !interval || !type || *type < 0 || *type > 255 || *interval < 1 ||
        *interval > 0xFFFFFF)
        return cli::Fail(QStringLiteral("bad --start, --end, --interval or --type"));
    b.startTime = *start;
    b.endTime = *end;
    b.interval = *interval;
    b.deviceType = static_cast<quint8>(*type);
    if (hasAlarm) {
        const std::optional<qint64> alarm = ParseInteger(alarmText);
        if (!alarm || *alarm < 0 || *alarm > 255)
            return cli::Fail(QStringLiteral("bad --alarm"));
        b.alarmFlag = static_cast<quint8>(*alarm);
    }
    if (hasLimits) {
        const QStringList parts = limitsText.split(QLatin1Char(','));
        float v[4] = {};
        bool ok = parts.size() == 4;
        for (int i = 0; ok && i < 4; ++i)
            v[i] = parts[i].trimmed().toFloat(&ok);
        if (!ok)
            return cli::Fail(QStringLiteral("--limits needs four numbers l1,u1,l2,u2"));
        b.ch1Lower = v[0];
        b.ch1Upper = v[1];
        b.ch2Lower = v[2];
        b.ch2Upper = v[3];
    }
    if (hasOffset) {
        const std::optional<qint64> offset = ParseInteger(offsetText);
        if (!offset || *offset < 0)
            return cli::Fail(QStringLiteral("bad --offset"));
        b.startOffset = *offset;
    }
    QFile in;
    if (!in.open(stdin, QIODevice::ReadOnly))
        return cli::Fail(QStringLiteral("cannot read standard input"));
    b.data = in.readAll();
    if (b.data.isEmpty())
        return cli::Fail(QStringLiteral("no bytes on standard input"));
    b.total = b.received = b.data.size();
    const int nodeId = db.FindNodeIdByAddress(key);
    if (nodeId >= 0 && db.SeekEditNode(nodeId))
        b.nodeName = db.EditCursor().Row().name;

    CHistoryStore &h = db.History();
    if (!h.StoreHistoryBlock(b))
        return cli::Fail(QStringLiteral("the block was not stored (database unchanged)"));
    // The block went to the node's last record, continued or new.
    if (!h.OpenSummaryTable(key) || !h.MoveLastRecord())
        return cli::Fail(QStringLiteral("stored, but the record cannot be read back"));
    cli::PrintJson({{QStringLiteral("stored"), true},
                    {QStringLiteral("bytes"), b.data.size()},
                    {QStringLiteral("record"), h.RecordId()},
                    {QStringLiteral("dataLength"), h.DataLength()},
                    {QStringLiteral("tableCode"), h.TableCode()},
                    {QStringLiteral("lastHeaderId"), h.LastHeaderId()}});
    return 0;
}

QJsonObject ChannelJson(const HistorySummary::ChannelTexts &t, const HistorySummary::ChannelFigures &f)
{
    QJsonObject o{{QStringLiteral("max"), t.maximum},
                  {QStringLiteral("min"), t.minimum},
                  {QStringLiteral("avg"), t.average},
                  {QStringLiteral("alarmLabel"), t.alarmLabel},
                  {QStringLiteral("lower"), t.lower},
                  {QStringLiteral("upper"), t.upper},
                  {QStringLiteral("samplesAbove"), f.samplesAbove},
                  {QStringLiteral("samplesBelow"), f.samplesBelow},
                  {QStringLiteral("secondsAbove"), f.secondsAbove},
                  {QStringLiteral("secondsBelow"), f.secondsBelow}};
    if (f.meanKinetic)
        o.insert(QStringLiteral("meanKineticC"), std::round(*f.meanKinetic * 1000.0) / 1000.0);
    return o;
}

// The summary page of the loaded range: its texts in the settings' language and unit, and figures.
void PrintSummary(const CNodeDataSave &s)
{
    const HistorySummary::Page p = HistorySummary::Build(s);
    QJsonArray extras;
    for (const HistorySummary::ExtraLine &e : p.extras)
        extras.append(QJsonObject{{QStringLiteral("label"), e.label}, {QStringLiteral("value"), e.value}});
    QJsonObject o{
        {QStringLiteral("name"), p.name},         {QStringLiteral("type"), p.typeName},
        {QStringLiteral("node"), p.nodeKey},      {QStringLiteral("start"), p.start},
        {QStringLiteral("end"), p.end},           {QStringLiteral("interval"), p.interval},
        {QStringLiteral("count"), p.count},       {QStringLiteral("rangeStart"), p.rangeStart},
        {QStringLiteral("rangeEnd"), p.rangeEnd}, {QStringLiteral("intervalSeconds"), p.intervalSeconds},
        {QStringLiteral("extras"), extras}};
    for (int ch = 0; ch < 2; ++ch)
        if (p.channel[ch].present)
            o.insert(ch == 0 ? QStringLiteral("ch1") : QStringLiteral("ch2"),
                     ChannelJson(p.channel[ch], p.figures[ch]));
    cli::PrintJson(o);
}

// Writes what "另存为" writes, chosen by the output's extension.
int SaveLoaded(CNodeDataSave &s, const QString &out)
{
    const HistoryExport::Result r = HistoryExport::SaveAs(s, out);
    if (!r.ok)
        return cli::Fail(r.message);
    cli::PrintJson({{QStringLiteral("saved"), out}, {QStringLiteral("samples"), s.rangeCount}});
    return 0;
}

// history print: the report pages of the loaded range as a PDF file.
int PrintLoaded(const CNodeDataSave &s, QStringList &args)
{
    QString modeText, pagesText;
    if (!cli::TakeOption(args, QStringLiteral("--mode"), modeText))
        return cli::UsageOf("history");
    const bool hasPages = cli::TakeOption(args, QStringLiteral("--pages"), pagesText);
    if (args.size() != 1)
        return cli::UsageOf("history");
    if (modeText != QLatin1String("curve") && modeText != QLatin1String("text"))
        return cli::Fail(QStringLiteral("--mode is curve or text: %1").arg(modeText));
    const ReportPages::Mode mode =
        modeText == QLatin1String("curve") ? ReportPages::Mode::Curve : ReportPages::Mode::Text;
    const std::optional<qint64> pages = hasPages ? ParseInteger(pagesText) : std::optional<qint64>(1);
    if (!pages || *pages < 1 || *pages > ReportPages::kMaxCurvePages ||
        (hasPages && mode != ReportPages::Mode::Curve))
        return cli::Fail(QStringLiteral("--pages takes 1 to 99 curve pages: %1").arg(pagesText));
    if (!s.HasRange())
        return cli::Fail(QStringLiteral("the record holds no samples in the range"));
    const QString &out = args.first();
    const ReportPages::PdfResult r = ReportPages::WritePdf(s, out, mode, int(*pages));
    if (!r.ok)
        return cli::Fail(r.message);
    cli::PrintJson({{QStringLiteral("printed"), out},
                    {QStringLiteral("mode"), modeText},
                    {QStringLiteral("pages"), ReportPages::PageCount(mode, s.rangeCount, int(*pages))},
                    {QStringLiteral("samples"), s.rangeCount}});
    return 0;
}

// history summary / export / print: load the record, then print or write it.
int HistoryOfRecord(CHistoryStore &h, const QString &key, const QString &verb, QStringList &args)
{
    QString recordText, error;
    if (!cli::TakeOption(args, QStringLiteral("--record"), recordText))
        return cli::UsageOf("history");
    if (!LoadRecord(h, key, recordText, args, error))
        return cli::Fail(error);
    AppSettings::Instance().LoadStartupSettings(QLocale::system());
    if (verb == QLatin1String("summary") && args.isEmpty()) {
        PrintSummary(h.Samples());
        return 0;
    }
    if (verb == QLatin1String("export") && args.size() == 1)
        return SaveLoaded(h.Samples(), args.first());
    if (verb == QLatin1String("print"))
        return PrintLoaded(h.Samples(), args);
    return cli::UsageOf("history");
}

} // namespace

int RunHistory(const cli::GlobalOptions &, QStringList args)
{
    if (args.isEmpty())
        return cli::UsageOf("history");
    const QString verb = args.takeFirst();
    // A database object of the command's own: it is gone before the application object.
    CCorvaneODBC db;
    QString key;
    const auto mode =
        verb == QLatin1String("store") ? CCorvaneODBC::OpenMode::Existing : CCorvaneODBC::OpenMode::ReadOnly;
    if (const int status = OpenNodeDatabase(args, "history", db, mode, key))
        return status;

    if (verb == QLatin1String("list")) {
        if (!args.isEmpty())
            return cli::UsageOf("history");
        return HistoryList(db.History(), key);
    }
    if (verb == QLatin1String("dump")) {
        QString recordText;
        if (!cli::TakeOption(args, QStringLiteral("--record"), recordText))
            return cli::UsageOf("history");
        const bool csv = cli::TakeFlag(args, QStringLiteral("--csv"));
        QString error;
        if (!LoadRecord(db.History(), key, recordText, args, error))
            return cli::Fail(error);
        if (!args.isEmpty())
            return cli::UsageOf("history");
        PrintStore(db.History().Samples(), csv);
        return 0;
    }
    if (verb == QLatin1String("store"))
        return HistoryStore(db, key, args);
    if (verb == QLatin1String("summary") || verb == QLatin1String("export") || verb == QLatin1String("print"))
        return HistoryOfRecord(db.History(), key, verb, args);
    return cli::UsageOf("history");
}

int RunDatafile(const cli::GlobalOptions &, QStringList args)
{
    if (args.isEmpty())
        return cli::UsageOf("datafile");
    const QString verb = args.takeFirst();
    if (verb == QLatin1String("dump")) {
        const bool csv = cli::TakeFlag(args, QStringLiteral("--csv"));
        if (args.size() != 1)
            return cli::UsageOf("datafile");
        CNodeDataSave store;
        CCorvFile file(store);
        if (!file.OpenDataFile(args.first()))
            return cli::Fail(QStringLiteral("not a readable data file: %1: %2")
                                 .arg(args.first(), DataFile::FaultText(file.LastFault())));
        PrintStore(store, csv);
        return 0;
    }
    if (verb == QLatin1String("export")) {
        if (args.size() != 2)
            return cli::UsageOf("datafile");
        CNodeDataSave store;
        CCorvFile file(store);
        if (!file.OpenDataFile(args.first()))
            return cli::Fail(QStringLiteral("not a readable data file: %1").arg(args.first()));
        AppSettings::Instance().LoadStartupSettings(QLocale::system());
        return SaveLoaded(store, args.last());
    }
    if (verb == QLatin1String("save")) {
        QString recordText, out;
        if (!cli::TakeOption(args, QStringLiteral("--record"), recordText) ||
            !cli::TakeOption(args, QStringLiteral("--out"), out))
            return cli::UsageOf("datafile");
        CCorvaneODBC db;
        QString key;
        if (const int status = OpenNodeDatabase(args, "datafile", db, CCorvaneODBC::OpenMode::ReadOnly, key))
            return status;
        QString error;
        if (!LoadRecord(db.History(), key, recordText, args, error))
            return cli::Fail(error);
        if (!args.isEmpty())
            return cli::UsageOf("datafile");
        const CNodeDataSave &s = db.History().Samples();
        if (!s.HasRange())
            return cli::Fail(QStringLiteral("the record holds no samples"));
        CCorvFile file(db.History().Samples());
        if (!file.SaveDataFile(out))
            return cli::Fail(
                QStringLiteral("cannot write the data file %1 (a field does not fit or the file cannot be "
                               "written)")
                    .arg(out));
        cli::PrintJson({{QStringLiteral("saved"), out},
                        {QStringLiteral("samples"), s.rangeCount},
                        {QStringLiteral("rangeStart"), s.times()[s.rangeFirst]},
                        {QStringLiteral("rangeEnd"), s.times()[s.rangeFirst + s.rangeCount - 1]}});
        return 0;
    }
    return cli::UsageOf("datafile");
}
