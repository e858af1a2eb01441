#include "storage/CCorvaneNetMger.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QStringList>
#include <QVariant>

#include <algorithm>

namespace {

constexpr int kColumnCount = 31;

// Column values of a row in table order, as bound to statements.
std::array<QVariant, kColumnCount> ToValues(const NodeRow &r)
{
    std::array<QVariant, kColumnCount> v = {
        r.id,
        r.name,
        r.extaddress,
        r.shortAddress,
        uint(r.type),
        r.fatherid,
        r.childsnumble,
        uint(r.runstate),
        r.startTime,
        r.endTime,
        r.sampleCap,
        double(r.channel1_upper),
        double(r.channel1_lower),
        double(r.channel2_upper),
        double(r.channel2_lower),
        r.rtDataCap,
        r.lengthDatas,
        uint(r.downloadplanmode),
        r.downloadplantime,
        r.lasthistorydataid,
        r.gprs_local,
    };
    for (int k = 0; k < NodeRow::kBindSlots; ++k)
        v[size_t(21 + k)] = r.gprs_bind[size_t(k)];
    return v;
}

QString Text(const QVariant &v)
{
    return v.isNull() ? QString() : v.toString();
}

NodeRow FromQuery(const QSqlQuery &q)
{
    NodeRow r;
    r.id = q.value(0).toInt();
    r.name = Text(q.value(1));
    r.extaddress = Text(q.value(2));
    r.shortAddress = Text(q.value(3));
    r.type = quint8(q.value(4).toUInt());
    r.fatherid = q.value(5).toInt();
    r.childsnumble = q.value(6).toInt();
    r.runstate = quint8(q.value(7).toUInt());
    r.startTime = q.value(8).toLongLong();
    r.endTime = q.value(9).toLongLong();
    r.sampleCap = q.value(10).toInt();
    r.channel1_upper = q.value(11).toFloat();
    r.channel1_lower = q.value(12).toFloat();
    r.channel2_upper = q.value(13).toFloat();
    r.channel2_lower = q.value(14).toFloat();
    r.rtDataCap = q.value(15).toInt();
    r.lengthDatas = q.value(16).toInt();
    r.downloadplanmode = quint8(q.value(17).toUInt());
    r.downloadplantime = q.value(18).toLongLong();
    r.lasthistorydataid = q.value(19).toInt();
    r.gprs_local = Text(q.value(20));
    for (int k = 0; k < NodeRow::kBindSlots; ++k)
        r.gprs_bind[size_t(k)] = Text(q.value(21 + k));
    return r;
}

QString ColumnList()
{
    const auto &columns = NodeTableColumns();
    return QStringList(columns.begin(), columns.end()).join(QLatin1String(", "));
}

// Texts longer than their column are refused, as the original engine did.
QString CheckLimits(const NodeRow &r)
{
    const auto tooLong = [](const QString &text, int limit) { return text.size() > limit; };
    if (tooLong(r.name, NodeRow::kNameLength))
        return QStringLiteral("name longer than %1 characters").arg(NodeRow::kNameLength);
    if (tooLong(r.extaddress, NodeRow::kAddressLength))
        return QStringLiteral("extaddress longer than %1 characters").arg(NodeRow::kAddressLength);
    if (tooLong(r.shortAddress, NodeRow::kShortAddressLength))
        return QStringLiteral("shortAddress longer than %1 characters").arg(NodeRow::kShortAddressLength);
    if (tooLong(r.gprs_local, NodeRow::kPhoneLength))
        return QStringLiteral("gprs_local longer than %1 characters").arg(NodeRow::kPhoneLength);
    for (int k = 0; k < NodeRow::kBindSlots; ++k) {
        if (tooLong(r.gprs_bind[size_t(k)], NodeRow::kPhoneLength))
            return QStringLiteral("gprs_bind%1 longer than %2 characters")
                .arg(k + 1)
                .arg(NodeRow::kPhoneLength);
    }
    if (r.childsnumble < -32768 || r.childsnumble > 32767)
        return QStringLiteral("childsnumble outside 16 bits");
    return QString();
}

} // namespace

bool NodeRow::operator==(const NodeRow &o) const
{
    return ToValues(*this) == ToValues(o);
}

const std::array<QString, 31> &NodeTableColumns()
{
    static const std::array<QString, 31> columns = {
        QStringLiteral("id"),
        QStringLiteral("name"),
        QStringLiteral("extaddress"),
        QStringLiteral("shortAddress"),
        QStringLiteral("type"),
        QStringLiteral("fatherid"),
        QStringLiteral("childsnumble"),
        QStringLiteral("runstate"),
        QStringLiteral("startTime"),
        QStringLiteral("endTime"),
        QStringLiteral("sampleCap"),
        QStringLiteral("channel1_upper"),
        QStringLiteral("channel1_lower"),
        QStringLiteral("channel2_upper"),
        QStringLiteral("channel2_lower"),
        QStringLiteral("rtDataCap"),
        QStringLiteral("lengthDatas"),
        QStringLiteral("downloadplanmode"),
        QStringLiteral("downloadplantime"),
        QStringLiteral("lasthistorydataid"),
        QStringLiteral("gprs_local"),
        QStringLiteral("gprs_bind1"),
        QStringLiteral("gprs_bind2"),
        QStringLiteral("gprs_bind3"),
        QStringLiteral("gprs_bind4"),
        QStringLiteral("gprs_bind5"),
        QStringLiteral("gprs_bind6"),
        QStringLiteral("gprs_bind7"),
        QStringLiteral("gprs_bind8"),
        QStringLiteral("gprs_bind9"),
        QStringLiteral("gprs_bind10"),
    };
    return columns;
}

void NodeChange::ApplyTo(NodeRow &row) const
{
    const NodeRow &v = values;
    const auto take = [this](quint32 bit) { return (mask & bit) != 0; };
    if (take(Name))
        row.name = v.name;
    if (take(ExtAddress))
        row.extaddress = v.extaddress;
    if (take(ShortAddress))
        row.shortAddress = v.shortAddress;
    if (take(Type))
        row.type = v.type;
    if (take(FatherId))
        row.fatherid = v.fatherid;
    if (take(ChildsNumble))
        row.childsnumble = v.childsnumble;
    if (take(RunState))
        row.runstate = v.runstate;
    if (take(StartTime))
        row.startTime = v.startTime;
    if (take(EndTime))
        row.endTime = v.endTime;
    if (take(SampleCap))
        row.sampleCap = v.sampleCap;
    if (take(Channel1Upper))
        row.channel1_upper = v.channel1_upper;
    if (take(Channel1Lower))
        row.channel1_lower = v.channel1_lower;
    if (take(Channel2Upper))
        row.channel2_upper = v.channel2_upper;
    if (take(Channel2Lower))
        row.channel2_lower = v.channel2_lower;
    if (take(RtDataCap))
        row.rtDataCap = v.rtDataCap;
    if (take(LengthDatas))
        row.lengthDatas = v.lengthDatas;
    if (take(DownloadPlanMode))
        row.downloadplanmode = v.downloadplanmode;
    if (take(DownloadPlanTime))
        row.downloadplantime = v.downloadplantime;
}

QString NodeKeyFromAddress(const std::array<quint8, 8> &address)
{
    QString key;
    key.reserve(16);
    for (quint8 byte : address)
        key += QStringLiteral("%1").arg(uint(byte), 2, 16, QLatin1Char('0'));
    return key;
}

CCorvaneNetMger::CCorvaneNetMger(QString connectionName) : m_connection(std::move(connectionName)) {}

void CCorvaneNetMger::SetConnectionName(const QString &connectionName)
{
    Close();
    m_connection = connectionName;
}

bool CCorvaneNetMger::Fail(const QString &text)
{
    m_lastError = text;
    return false;
}

bool CCorvaneNetMger::Open()
{
    Close();
    m_open = true;
    if (!Requery()) {
        Close();
        return false;
    }
    return true;
}

void CCorvaneNetMger::Close()
{
    m_open = false;
    m_keys.clear();
    m_pos = 0;
    m_bof = m_eof = true;
    m_row = NodeRow();
    m_mode = Mode::None;
}

bool CCorvaneNetMger::Requery()
{
    if (!m_open)
        return Fail(QStringLiteral("cursor not open"));
    m_mode = Mode::None;
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.isOpen())
        return Fail(QStringLiteral("no connection"));
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT rowid, id FROM [CorvaneRFMS] ORDER BY id, rowid")))
        return Fail(q.lastError().text());
    m_keys.clear();
    while (q.next())
        m_keys.push_back(Key{q.value(0).toLongLong(), q.value(1).toInt()});
    MoveTo(0);
    return true;
}

// Index -1 is the begin, size() the end; an empty set stands at both.
void CCorvaneNetMger::MoveTo(int index)
{
    const int size = int(m_keys.size());
    m_pos = std::clamp(index, -1, size);
    m_bof = size == 0 || m_pos < 0;
    m_eof = size == 0 || m_pos >= size;
    if (m_bof || m_eof || !Fetch())
        m_row = NodeRow();
}

bool CCorvaneNetMger::Fetch()
{
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT %1 FROM [CorvaneRFMS] WHERE rowid = ?").arg(ColumnList()));
    q.addBindValue(m_keys[size_t(m_pos)].rowid);
    if (!q.exec())
        return Fail(q.lastError().text());
    if (!q.next())
        return Fail(QStringLiteral("row deleted"));
    m_row = FromQuery(q);
    return true;
}

void CCorvaneNetMger::MoveFirst()
{
    if (m_open)
        MoveTo(0);
}

void CCorvaneNetMger::MoveNext()
{
    if (m_open && !m_eof)
        MoveTo(m_pos + 1);
}

void CCorvaneNetMger::MovePrev()
{
    if (m_open && !m_bof)
        MoveTo(m_pos - 1);
}

void CCorvaneNetMger::MoveLast()
{
    if (m_open && !m_keys.empty())
        MoveTo(int(m_keys.size()) - 1);
}

bool CCorvaneNetMger::SeekId(qint32 id)
{
    if (!m_open)
        return false;
    if (!m_bof)
        MoveFirst();
    // The set is in id order: walk it on the ids it was read with and confirm on the row itself,
    // so a row deleted meanwhile is passed over.
    for (int i = std::max(m_pos, 0); i < int(m_keys.size()); ++i) {
        if (m_keys[size_t(i)].id != id)
            continue;
        MoveTo(i);
        if (m_row.id == id && !m_eof)
            return true;
    }
    MoveTo(int(m_keys.size()));
    return false;
}

bool CCorvaneNetMger::SeekAddress(const QString &address)
{
    if (!m_open)
        return false;
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("SELECT rowid FROM [CorvaneRFMS] WHERE extaddress = ? ORDER BY id, rowid"));
    q.addBindValue(address);
    if (q.exec()) {
        while (q.next()) {
            const qint64 rowid = q.value(0).toLongLong();
            const auto it = std::find_if(m_keys.begin(), m_keys.end(),
                                         [rowid](const Key &k) { return k.rowid == rowid; });
            if (it == m_keys.end())
                continue; // added after the last re-query: not in this cursor's set
            MoveTo(int(it - m_keys.begin()));
            if (!m_eof && m_row.extaddress == address)
                return true;
        }
    } else {
        m_lastError = q.lastError().text();
    }
    MoveTo(int(m_keys.size()));
    return false;
}

qint32 CCorvaneNetMger::LargestId()
{
    if (!m_open)
        return -1;
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    if (!q.exec(QStringLiteral("SELECT MAX(id) FROM [CorvaneRFMS]")) || !q.next()) {
        m_lastError = q.lastError().text();
        return -1;
    }
    MoveTo(int(m_keys.size()));
    return q.value(0).isNull() ? 0 : q.value(0).toInt();
}

bool CCorvaneNetMger::Edit()
{
    if (!m_open || m_bof || m_eof || m_mode != Mode::None)
        return Fail(QStringLiteral("no current row to edit"));
    if (!Fetch())
        return false;
    m_original = m_row;
    m_mode = Mode::Edit;
    return true;
}

bool CCorvaneNetMger::AddNew()
{
    if (!m_open || m_mode != Mode::None)
        return Fail(QStringLiteral("cursor not ready to add"));
    m_beforeAdd = m_row;
    m_row = NodeRow();
    m_original = m_row;
    m_mode = Mode::Add;
    return true;
}

void CCorvaneNetMger::CancelUpdate()
{
    if (m_mode == Mode::Add)
        m_row = m_beforeAdd;
    else if (m_mode == Mode::Edit)
        m_row = m_original;
    m_mode = Mode::None;
}

bool CCorvaneNetMger::Update()
{
    if (m_mode == Mode::None)
        return Fail(QStringLiteral("not editing"));
    const QString limitError = CheckLimits(m_row);
    if (!limitError.isEmpty()) {
        CancelUpdate();
        return Fail(limitError);
    }
    const auto now = ToValues(m_row);
    const auto before = ToValues(m_original);
    const auto &names = NodeTableColumns();
    QStringList columns;
    QVariantList values;
    for (int c = 0; c < kColumnCount; ++c) {
        // A new row always gets its id; other columns only when assigned a value, so columns
        // nobody set stay empty.
        const bool changed = now[size_t(c)] != before[size_t(c)];
        if (changed || (m_mode == Mode::Add && c == 0)) {
            columns << names[size_t(c)];
            values << now[size_t(c)];
        }
    }
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    if (m_mode == Mode::Add) {
        QStringList marks;
        for (int i = 0; i < columns.size(); ++i)
            marks << QStringLiteral("?");
        q.prepare(QStringLiteral("INSERT INTO [CorvaneRFMS] (%1) VALUES (%2)")
                      .arg(columns.join(QLatin1String(", ")), marks.join(QLatin1String(", "))));
    } else {
        if (columns.isEmpty()) {
            m_mode = Mode::None;
            return true;
        }
        QStringList sets;
        for (const QString &c : columns)
            sets << c + QStringLiteral(" = ?");
        q.prepare(QStringLiteral("UPDATE [CorvaneRFMS] SET %1 WHERE rowid = ?")
                      .arg(sets.join(QLatin1String(", "))));
        values << m_keys[size_t(m_pos)].rowid;
    }
    for (const QVariant &v : values)
        q.addBindValue(v);
    bool ok = q.exec();
    if (!ok)
        m_lastError = q.lastError().text();
    else if (m_mode == Mode::Edit && q.numRowsAffected() == 0)
        ok = Fail(QStringLiteral("row deleted"));
    if (m_mode == Mode::Add)
        m_row = m_beforeAdd;
    else if (!ok)
        m_row = m_original;
    m_mode = Mode::None;
    return ok;
}

bool CCorvaneNetMger::Delete()
{
    if (!m_open || m_bof || m_eof || m_mode != Mode::None)
        return Fail(QStringLiteral("no current row to delete"));
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    QSqlQuery q(db);
    q.prepare(QStringLiteral("DELETE FROM [CorvaneRFMS] WHERE rowid = ?"));
    q.addBindValue(m_keys[size_t(m_pos)].rowid);
    if (!q.exec())
        return Fail(q.lastError().text());
    return true;
}
