#pragma once
// Node tables of a given size for the benchmarks, written straight into the file so that the
// set-up of 5,000 nodes takes no longer than one transaction.
#include "base/NodeType.h"
#include "storage/CCorvaneNetMger.h"

#include <QSqlDatabase>
#include <QSqlQuery>
#include <QVariant>

// A network of one receiver, a router per 50 nodes and loggers of the three kinds under them.
inline NodeRow NetworkRow(int id)
{
    NodeRow row;
    row.id = id;
    row.extaddress = QStringLiteral("00124b%1").arg(id, 10, 16, QLatin1Char('0'));
    row.shortAddress = QString::number(id);
    if (id == 1) {
        row.type = NodeType::Receiver;
        row.name = QStringLiteral("receiver");
    } else if (id % 50 == 2) {
        row.type = NodeType::Router;
        row.fatherid = 1;
        row.name = QStringLiteral("router %1").arg(id);
    } else {
        static constexpr quint8 kLoggers[] = {NodeType::SingleTemp, NodeType::DualTemp,
                                              NodeType::TempHumidity};
        row.type = kLoggers[id % 3];
        row.fatherid = (id - 2) / 50 * 50 + 2;
        row.name = QStringLiteral("logger %1").arg(id);
        row.channel1_upper = 30.0f;
        row.channel1_lower = -10.0f;
        row.startTime = 1700000000 + id;
    }
    return row;
}

// Writes rows 1..nodes in one transaction on a connection of its own (set-up, not measured).
inline bool FillNodeTable(const QString &path, int nodes)
{
    const QString name = QStringLiteral("bench-startup-fill");
    bool ok = false;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), name);
        db.setDatabaseName(path);
        QSqlQuery q(db);
        ok = db.open() && db.transaction() &&
             q.prepare(QStringLiteral("INSERT INTO CorvaneRFMS (id, name, extaddress, shortAddress, type, "
                                      "fatherid, startTime, channel1_upper, channel1_lower) "
                                      "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"));
        for (int id = 1; ok && id <= nodes; ++id) {
            const NodeRow r = NetworkRow(id);
            for (const QVariant &v :
                 {QVariant(r.id), QVariant(r.name), QVariant(r.extaddress), QVariant(r.shortAddress),
                  QVariant(uint(r.type)), QVariant(r.fatherid), QVariant(r.startTime),
                  QVariant(double(r.channel1_upper)), QVariant(double(r.channel1_lower))})
                q.addBindValue(v);
            ok = q.exec();
        }
        ok = ok && db.commit();
        q = QSqlQuery();
        db.close();
    }
    QSqlDatabase::removeDatabase(name);
    return ok;
}
