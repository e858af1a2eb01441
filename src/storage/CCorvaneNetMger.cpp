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

// The row from the query's columns first .. first + 30.
NodeRow FromQuery(const QSqlQuery &query, int first)
{
    const auto value = [&query, first](int column) { return query.value(first + column); };
    NodeRow r;
    r.id = value(0).toInt();
    r.name = Text(value(1));
    r.extaddress = Text(value(2));
    r.shortAddress = Text(value(3));
    r.type = quint8(value(4).toUInt());
    r.fatherid = value(5).toInt();
    r.childsnumble = value(6).toInt();
    r.runstate = quint8(value(7).toUInt());
    r.startTime = value(8).toLongLong();
    r.endTime = value(9).toLongLong();
    r.sampleCap = value(10).toInt();
    r.channel1_upper = value(11).toFloat();
    r.channel1_lower = value(12).toFloat();
    r.channel2_upper = value(13).toFloat();
    r.channel2_lower = value(14).toFloat();
    r.rtDataCap = value(15).toInt();
    r.lengthDatas = value(16).toInt();
    r.downloadplanmode = quint8(value(17).toUInt());
    r.downloadplantime = value(18).toLongLong();
    r.lasthistorydataid = value(19).toInt();
    r.gprs_local = Text(value(20));
    for (int k = 0; k < NodeRow::kBindSlots; ++k)
        r.gprs_bind[size_t(k)] = Text(value(21 + k));
    return r;
}

QString ColumnList()
{
    const auto &columns = NodeTableColumns();
    return QStringList(columns.begin(), columns.end()).join(QLatin1String(", "));
}

const QString &FetchStatement()
{
    static const QString statement =
        QStringLiteral("SELECT %1 FROM [CorvaneRFMS] WHERE rowid = ?").arg(ColumnList());
    return statement;
}

// Walks the address index; the rows come with their values, so no second read is needed.
const QString &AddressStatement()
{
    static const QString statement =
        QStringLiteral("SELECT rowid, %1 FROM [CorvaneRFMS] WHERE extaddress = ? ORDER BY id, rowid")
            .arg(ColumnList());
    return statement;
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
    m_indexOfRowId.clear();
    m_firstOfId.clear();
    m_dataVersion = -1;
    m_pos = 0;
    m_bof = m_eof = true;
    m_row = NodeRow();
    m_mode = Mode::None;
    // The statements go with the cursor, so that the connection can be removed after it.
    m_fetchQuery = QSqlQuery();
    m_addressQuery = QSqlQuery();
    m_stateQuery = QSqlQuery();
    m_allRows.clear();
    m_allRowsState = {-1, -1};
}

QSqlQuery *CCorvaneNetMger::Prepared(QSqlQuery &query, const QString &statement)
{
    if (query.lastQuery() == statement)
        return &query;
    query = QSqlQuery(QSqlDatabase::database(m_connection, false));
    query.setForwardOnly(true);
    if (query.prepare(statement))
        return &query;
    m_lastError = query.lastError().text();
    query = QSqlQuery();
    return nullptr;
}

std::pair<qint64, qint64> CCorvaneNetMger::WriteState()
{
    QSqlQuery *q = Prepared(
        m_stateQuery, QStringLiteral("SELECT total_changes(), data_version FROM pragma_data_version()"));
    if (!q || !q->exec() || !q->next())
        return {-1, -1};
    const std::pair<qint64, qint64> state{q->value(0).toLongLong(), q->value(1).toLongLong()};
    q->finish();
    return state;
}

void CCorvaneNetMger::AppendKey(const Key &key)
{
    m_allRowsState = {-1, -1}; // the set changes
    const int index = int(m_keys.size());
    m_keys.push_back(key);
    m_indexOfRowId.emplace(key.rowid, index);
    m_firstOfId.emplace(key.id, index); // the first row of an id stays
}

bool CCorvaneNetMger::ReadKeys()
{
    const QSqlDatabase db = QSqlDatabase::database(m_connection, false);
    if (!db.isOpen())
        return Fail(QStringLiteral("no connection"));
    // Taken before the rows: a commit in between only makes the next check read them again.
    m_dataVersion = WriteState().second;
    QSqlQuery q(db);
    q.setForwardOnly(true);
    if (!q.exec(QStringLiteral("SELECT rowid, id FROM [CorvaneRFMS] ORDER BY id, rowid")))
        return Fail(q.lastError().text());
    m_keys.clear();
    m_indexOfRowId.clear();
    m_firstOfId.clear();
    m_allRowsState = {-1, -1};
    while (q.next())
        AppendKey(Key{q.value(0).toLongLong(), q.value(1).toInt()});
    return true;
}

bool CCorvaneNetMger::Requery()
{
    if (!m_open)
        return Fail(QStringLiteral("cursor not open"));
    m_mode = Mode::None;
    if (!ReadKeys())
        return false;
    MoveTo(0);
    return true;
}

bool CCorvaneNetMger::RequeryAfterWrite(qint64 addedRowId, qint32 addedId)
{
    if (!m_open)
        return Fail(QStringLiteral("cursor not open"));
    const qint64 version = WriteState().second;
    if (version < 0 || version != m_dataVersion)
        return Requery();
    // A new row takes the largest id + 1, so it sorts after every row of the set; anything
    // else is left to a full read.
    if (addedRowId != 0 && m_indexOfRowId.count(addedRowId) == 0) {
        const bool last = m_keys.empty() || addedId > m_keys.back().id ||
                          (addedId == m_keys.back().id && addedRowId > m_keys.back().rowid);
        if (!last)
            return Requery();
        AppendKey(Key{addedRowId, addedId});
    }
    m_mode = Mode::None;
    MoveTo(0);
    return true;
}

std::vector<NodeRow> CCorvaneNetMger::ReadAll()
{
    if (!m_open)
        return {};
    // Taken before the rows: a write in between only makes the next call read them again.
    const std::pair<qint64, qint64> state = WriteState();
    if (state.first < 0 || state != m_allRowsState)
        m_allRowsState = ReadCurrentRows(m_allRows) ? state : std::pair<qint64, qint64>{-1, -1};
    MoveTo(int(m_keys.size()));
    return m_allRows;
}

bool CCorvaneNetMger::ReadCurrentRows(std::vector<NodeRow> &rows)
{
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.setForwardOnly(true);
    std::unordered_map<qint64, NodeRow> current;
    current.reserve(m_keys.size());
    const bool read = q.exec(QStringLiteral("SELECT rowid, %1 FROM [CorvaneRFMS]").arg(ColumnList()));
    if (!read)
        m_lastError = q.lastError().text();
    while (q.next())
        current.emplace(q.value(0).toLongLong(), FromQuery(q, 1));
    rows.clear();
    rows.reserve(m_keys.size());
    for (const Key &key : m_keys) {
        const auto it = current.find(key.rowid);
        if (it != current.end())
            rows.push_back(std::move(it->second));
    }
    return read;
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
    QSqlQuery *q = Prepared(m_fetchQuery, FetchStatement());
    if (!q)
        return false;
    q->bindValue(0, m_keys[size_t(m_pos)].rowid);
    if (!q->exec())
        return Fail(q->lastError().text());
    const bool found = q->next();
    if (found)
        m_row = FromQuery(*q, 0);
    q->finish(); // no statement stays open between moves
    return found || Fail(QStringLiteral("row deleted"));
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
    // The set is in id order, so the rows read with this id follow its first one; each is
    // confirmed on the row itself, so a row deleted meanwhile is passed over.
    const auto first = m_firstOfId.find(id);
    const int size = int(m_keys.size());
    for (int i = first == m_firstOfId.end() ? size : first->second; i < size && m_keys[size_t(i)].id == id;
         ++i) {
        MoveTo(i);
        if (m_row.id == id && !m_eof)
            return true;
    }
    MoveTo(size);
    return false;
}

bool CCorvaneNetMger::SeekAddress(const QString &address)
{
    if (!m_open)
        return false;
    QSqlQuery *q = Prepared(m_addressQuery, AddressStatement());
    if (q) {
        q->bindValue(0, address);
        if (!q->exec())
            m_lastError = q->lastError().text();
        while (q->isActive() && q->next()) {
            const auto it = m_indexOfRowId.find(q->value(0).toLongLong());
            if (it == m_indexOfRowId.end())
                continue; // added after the last re-query: not in this cursor's set
            m_pos = it->second;
            m_bof = m_eof = false;
            m_row = FromQuery(*q, 1);
            q->finish();
            return true;
        }
        q->finish();
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
    else if (m_mode == Mode::Add)
        m_addedRowId = q.lastInsertId().toLongLong();
    else if (now[0] != before[0])
        m_dataVersion = -1; // a renumbered row: the set is read again at the next re-query
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
