// corvane-cli db: create a database, list its node table, add or change a node.
#include "CliCommon.h"

#include "base/AppSettings.h"
#include "storage/CCorvaneODBC.h"

#include <QDir>
#include <QFileInfo>
#include <QJsonArray>

#include <algorithm>
#include <iterator>

namespace {

// A bare file name lies in the database folder; anything else is a path of its own.
QString FullPath(const QString &file)
{
    if (!file.contains(QLatin1Char('/')) && !file.contains(QLatin1Char('\\')))
        return AppSettings::Instance().DatabaseFolder() + QLatin1Char('/') + file;
    return QFileInfo(file).absoluteFilePath();
}

// Only a database of this system is opened, read-only for the commands that only read.
bool Open(CCorvaneODBC &db, const QString &file, CCorvaneODBC::OpenMode mode)
{
    return db.OpenDatabaseAt(FullPath(file), mode) == 1;
}

// A float column as the shortest decimal text that reads back as the same float.
double FloatValue(float value)
{
    for (int precision = 6; precision < 9; ++precision) {
        const QString text = QString::number(double(value), 'g', precision);
        if (text.toFloat() == value)
            return text.toDouble();
    }
    return double(value);
}

QJsonObject RowJson(const NodeRow &r)
{
    QJsonObject o;
    const auto &c = NodeTableColumns();
    const QJsonValue values[] = {
        r.id,
        r.name,
        r.extaddress,
        r.shortAddress,
        int(r.type),
        r.fatherid,
        r.childsnumble,
        int(r.runstate),
        r.startTime,
        r.endTime,
        r.sampleCap,
        FloatValue(r.channel1_upper),
        FloatValue(r.channel1_lower),
        FloatValue(r.channel2_upper),
        FloatValue(r.channel2_lower),
        r.rtDataCap,
        r.lengthDatas,
        int(r.downloadplanmode),
        r.downloadplantime,
        r.lasthistorydataid,
        r.gprs_local,
    };
    for (size_t i = 0; i < std::size(values); ++i)
        o.insert(c[i], values[i]);
    for (int k = 0; k < NodeRow::kBindSlots; ++k)
        o.insert(c[size_t(21 + k)], r.gprs_bind[size_t(k)]);
    return o;
}

int Create(const QStringList &args)
{
    if (args.size() != 1)
        return cli::UsageOf("db");
    CCorvaneODBC db;
    const QString path = FullPath(args.first());
    if (!db.CreateDatabase(path))
        return cli::Fail(QStringLiteral("db create: %1").arg(db.LastError()));
    cli::PrintJson({{QStringLiteral("created"), path}});
    return 0;
}

int Nodes(const QStringList &args)
{
    if (args.size() != 1)
        return cli::UsageOf("db");
    CCorvaneODBC db;
    if (!Open(db, args.first(), CCorvaneODBC::OpenMode::ReadOnly))
        return cli::Fail(QStringLiteral("db nodes: %1").arg(db.LastError()));
    if (db.FirstNode()) {
        for (; !db.IsNodeIterationEnd(); db.NextNode())
            cli::PrintJson(RowJson(db.IterationCursor().Row()));
    }
    return 0;
}

bool IsNodeAddress(const QString &text)
{
    if (text.size() != NodeRow::kAddressLength)
        return false;
    return std::all_of(text.begin(), text.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) ||
               (c >= QLatin1Char('a') && c <= QLatin1Char('f'));
    });
}

int AddNode(QStringList args)
{
    QString address;
    QString typeText;
    QString name;
    QString parentText;
    if (!cli::TakeOption(args, QStringLiteral("--address"), address) ||
        !cli::TakeOption(args, QStringLiteral("--type"), typeText))
        return cli::UsageOf("db");
    const bool hasName = cli::TakeOption(args, QStringLiteral("--name"), name);
    const bool hasParent = cli::TakeOption(args, QStringLiteral("--parent"), parentText);
    if (args.size() != 1)
        return cli::UsageOf("db");
    if (!IsNodeAddress(address))
        return cli::Fail(QStringLiteral("db add-node: the address must be 16 lower-case hexadecimal digits"));
    bool ok = false;
    const uint type = typeText.toUInt(&ok, 0);
    if (!ok || type > 0xFF)
        return cli::Fail(QStringLiteral("db add-node: the type must be a byte (0..255 or 0x00..0xff)"));
    int parent = 0;
    if (hasParent) {
        parent = parentText.toInt(&ok);
        if (!ok || parent < 0)
            return cli::Fail(QStringLiteral("db add-node: the parent must be a node id"));
    }

    CCorvaneODBC db;
    if (!Open(db, args.first(), CCorvaneODBC::OpenMode::Existing))
        return cli::Fail(QStringLiteral("db add-node: %1").arg(db.LastError()));
    NodeChange change;
    change.mask = NodeChange::ExtAddress | NodeChange::Type;
    change.values.extaddress = address;
    change.values.type = quint8(type);
    if (hasName) {
        change.mask |= NodeChange::Name;
        change.values.name = name;
    }
    if (hasParent) {
        change.mask |= NodeChange::FatherId;
        change.values.fatherid = parent;
    }
    const bool existed = db.FindNodeIdByAddress(address) >= 1;
    if (!db.SaveNode(change))
        return cli::Fail(QStringLiteral("db add-node: %1").arg(db.LastError()));
    const int id = db.FindNodeIdByAddress(address);
    if (id < 1 || !db.SeekEditNode(id))
        return cli::Fail(QStringLiteral("db add-node: the node was not found after saving"));
    QJsonObject out = RowJson(db.EditCursor().Row());
    out.insert(QStringLiteral("added"), !existed);
    cli::PrintJson(out);
    return 0;
}

} // namespace

int RunDb(const cli::GlobalOptions &, QStringList args)
{
    if (args.isEmpty())
        return cli::UsageOf("db");
    const QString sub = args.takeFirst();
    if (sub == QLatin1String("create"))
        return Create(args);
    if (sub == QLatin1String("nodes"))
        return Nodes(args);
    if (sub == QLatin1String("add-node"))
        return AddNode(args);
    return cli::UsageOf("db");
}
