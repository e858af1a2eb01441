// corvane-cli plot: the curve plot of a real-time sample ring (JSON lines) or of a stored
// history record, drawn offscreen into a PNG, with the decimation it used.
#include "CliCommon.h"
#include "HistoryArgs.h"

#include "base/AppSettings.h"
#include "network/BeeNodeItem.h"
#include "storage/CCorvaneODBC.h"
#include "storage/HistoryTables.h"
#include "base/NodeType.h"
#include "views/core/CurvePainter.h"

#include <QFile>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QPainter>

#include <algorithm>
#include <deque>
#include <vector>

namespace {

// A ring read from JSON lines: the newest samples up to the logger's ring size, with the
// all-time extremes of every line read, as the logger keeps them.
struct RingFile {
    std::vector<qint64> times;
    std::vector<float> ch1;
    std::vector<float> ch2;
    bool hasCh2 = false;
    float min[2] = {0, 0};
    float max[2] = {0, 0};
};

void Track(RingFile &r, int c, float v, bool first)
{
    r.min[c] = first ? v : std::min(r.min[c], v);
    r.max[c] = first ? v : std::max(r.max[c], v);
}

bool ReadRing(const QString &path, RingFile &r, QString &error)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
        error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return false;
    }
    struct Sample {
        qint64 t;
        float c1;
        float c2;
    };
    std::deque<Sample> ring;
    int lineNo = 0;
    qint64 read = 0;
    while (!file.atEnd()) {
        const QByteArray line = file.readLine().trimmed();
        ++lineNo;
        if (line.isEmpty())
            continue;
        const QJsonObject o = QJsonDocument::fromJson(line).object();
        if (!o.value(QLatin1String("t")).isDouble() || !o.value(QLatin1String("c1")).isDouble()) {
            error =
                QStringLiteral("%1 line %2: needs {\"t\":..,\"c1\":..[,\"c2\":..]}").arg(path).arg(lineNo);
            return false;
        }
        const bool first = read++ == 0;
        Sample s{qint64(o.value(QLatin1String("t")).toDouble()),
                 float(o.value(QLatin1String("c1")).toDouble()),
                 float(o.value(QLatin1String("c2")).toDouble())};
        const bool firstCh2 = !r.hasCh2 && o.contains(QLatin1String("c2"));
        r.hasCh2 = r.hasCh2 || o.contains(QLatin1String("c2"));
        Track(r, 0, s.c1, first);
        if (r.hasCh2)
            Track(r, 1, s.c2, firstCh2);
        ring.push_back(s);
        if (int(ring.size()) > BeeNodeItem::kRingSize)
            ring.pop_front();
    }
    for (const Sample &s : ring) {
        r.times.push_back(s.t);
        r.ch1.push_back(s.c1);
        r.ch2.push_back(s.c2);
    }
    return true;
}

CurveSamples RingSamples(const RingFile &r, const QStringList &limits)
{
    CurveSamples s;
    s.times = r.times.data();
    s.count = int(r.times.size());
    for (int c = 0; c < 2; ++c) {
        if (c == 1 && !r.hasCh2)
            break;
        CurveChannelData &ch = s.channel[size_t(c)];
        ch.values = c == 0 ? r.ch1.data() : r.ch2.data();
        ch.min = r.min[c];
        ch.max = r.max[c];
        if (limits.size() == 4) {
            ch.lower = limits[2 * c].toFloat();
            ch.upper = limits[2 * c + 1].toFloat();
        }
    }
    s.alarm = limits.size() == 4;
    return s;
}

void SetUnits(CurveSamples &s, quint8 type)
{
    const AppSettings &settings = AppSettings::Instance();
    const QString temp = settings.CurrentTempUnit();
    s.channel[0].unit = temp;
    s.channel[1].unit = NodeType::Class(type) == NodeType::TempHumidity ? settings.HumidityText() : temp;
    for (CurveChannelData &ch : s.channel)
        ch.fahrenheit = ch.unit == settings.FahrenheitText();
}

QJsonArray Indices(const std::vector<int> &index)
{
    QJsonArray out;
    for (const int i : index)
        out.append(i);
    return out;
}

// The options every plot takes.
struct DrawOptions {
    int zoom = 1;
    int first = 0;
    int width = 0; // 0: the page's own width
    QString png;
    bool points = false;
};

// Takes the drawing options from args; 0 when they are usable, else the exit status.
int TakeDrawOptions(QStringList &args, DrawOptions &o)
{
    QString zoomText, firstText, widthText;
    const bool hasZoom = cli::TakeOption(args, QStringLiteral("--zoom"), zoomText);
    const bool hasFirst = cli::TakeOption(args, QStringLiteral("--first"), firstText);
    const bool hasWidth = cli::TakeOption(args, QStringLiteral("--width"), widthText);
    o.points = cli::TakeFlag(args, QStringLiteral("--points"));
    if (!cli::TakeOption(args, QStringLiteral("--png"), o.png))
        return cli::UsageOf("plot");
    bool ok = true;
    o.zoom = hasZoom ? zoomText.toInt(&ok) : 1;
    o.first = ok && hasFirst ? firstText.toInt(&ok) : 0;
    o.width = ok && hasWidth ? widthText.toInt(&ok) : 0;
    if (!ok || o.zoom < 1 || o.first < 0 || o.width < 0 || o.width > 20000)
        return cli::Fail(QStringLiteral("--zoom needs 1 or more, --first 0 or more, --width up to 20000"));
    return 0;
}

// Draws the picture, writes the PNG and prints the summary (with the decimation on request).
int Draw(const CurveSamples &samples, quint8 type, const CurveGeometry &base, const DrawOptions &o)
{
    const int width = o.width > 0 ? o.width : base.width;
    if (width <= base.left)
        return cli::Fail(QStringLiteral("--width must exceed the label margin of %1 pixels").arg(base.left));
    CurvePlotState state;
    state.SetChannelsByType(type);
    state.SetZoom(o.zoom, samples.count);
    (void)state.SetFirst(o.first);
    const CurvePainter painter(base);
    QImage image(QSize(width, base.height), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    const CurveFrame frame = painter.Draw(p, image.rect(), samples, state);
    p.end();
    if (!image.save(o.png, "PNG"))
        return cli::Fail(QStringLiteral("cannot write %1").arg(o.png));
    QJsonObject out{{QStringLiteral("png"), o.png},
                    {QStringLiteral("samples"), samples.count},
                    {QStringLiteral("zoom"), state.Zoom()},
                    {QStringLiteral("first"), state.First()},
                    {QStringLiteral("width"), frame.geometry.width},
                    {QStringLiteral("plotWidth"), frame.geometry.PlotWidth()}};
    if (o.points) {
        const CurveDecimation &d = frame.decimation;
        out.insert(QStringLiteral("M"), d.perScreen);
        out.insert(QStringLiteral("K"), d.step);
        out.insert(QStringLiteral("D"), d.pixelsPerPoint);
        out.insert(QStringLiteral("points"), d.points);
        out.insert(QStringLiteral("ch1"), Indices(d.index[0]));
        if (samples.HasChannel(1))
            out.insert(QStringLiteral("ch2"), Indices(d.index[1]));
    }
    cli::PrintJson(out);
    return 0;
}

int PlotRing(const QString &path, QStringList &args, const DrawOptions &options)
{
    QString limitsText;
    QStringList limits;
    if (cli::TakeOption(args, QStringLiteral("--limits"), limitsText)) {
        limits = limitsText.split(QLatin1Char(','));
        bool ok = limits.size() == 4;
        for (const QString &l : limits) {
            bool good = false;
            (void)l.toFloat(&good);
            ok = ok && good;
        }
        if (!ok)
            return cli::Fail(QStringLiteral("--limits needs four numbers l1,u1,l2,u2"));
    }
    if (!args.isEmpty())
        return cli::UsageOf("plot");
    RingFile ring;
    QString error;
    if (!ReadRing(path, ring, error))
        return cli::Fail(error);
    const quint8 type = ring.hasCh2 ? NodeType::DualTemp : NodeType::SingleTemp;
    CurveSamples samples = RingSamples(ring, limits);
    SetUnits(samples, type);
    return Draw(samples, type, CurveGeometry::RealTime(), options);
}

int PlotRecord(const QString &nodeText, QStringList &args, const DrawOptions &options)
{
    QString recordText;
    QString dbFile = AppSettings::Instance().DatabaseFileName();
    if (!cli::TakeOption(args, QStringLiteral("--record"), recordText))
        return cli::UsageOf("plot");
    (void)cli::TakeOption(args, QStringLiteral("--db"), dbFile);
    const std::optional<QString> key = cli::NodeKey(nodeText);
    if (!key)
        return cli::Fail(QStringLiteral("--node needs 16 hexadecimal digits: %1").arg(nodeText));
    CCorvaneODBC db;
    QString error;
    if (!cli::OpenDb(db, dbFile, CCorvaneODBC::OpenMode::ReadOnly, error) || !cli::LoadRecord(db.History(), *key, recordText, args, error))
        return cli::Fail(error);
    if (!args.isEmpty())
        return cli::UsageOf("plot");
    const CNodeDataSave &set = db.History().Samples();
    CurveSamples samples = CurveSamples::FromDataSet(set);
    SetUnits(samples, set.deviceType);
    return Draw(samples, set.deviceType, CurveGeometry::History(), options);
}

} // namespace

int RunPlot(const cli::GlobalOptions &, QStringList args)
{
    DrawOptions options;
    if (const int status = TakeDrawOptions(args, options))
        return status;
    QString source;
    if (cli::TakeOption(args, QStringLiteral("--ring"), source))
        return PlotRing(source, args, options);
    if (cli::TakeOption(args, QStringLiteral("--node"), source))
        return PlotRecord(source, args, options);
    return cli::UsageOf("plot");
}
