// Workbook and CSV export of the loaded range; workbooks are read back with libfreexl.
#include "HistoryTestSupport.h"

#include "history/core/HistoryExport.h"
#include "history/core/XlsReader.h"

#include <QTest>

using namespace historytest;

namespace {

QList<XlsReader::SheetData> ReadBack(const QString &path)
{
    const auto sheets = XlsReader::Read(path);
    return sheets ? *sheets : QList<XlsReader::SheetData>();
}

QStringList Names(const QList<XlsReader::SheetData> &sheets)
{
    QStringList n;
    for (const auto &s : sheets)
        n << s.name;
    return n;
}

float Wave(int i, int ch)
{
    return ch == 0 ? 20.0f + float(i % 200) / 10 : 60.0f - float(i % 50);
}

} // namespace

class TestHistoryExport : public QObject {
    Q_OBJECT
private slots:
    void init()
    {
        UseChineseCelsius();
        for (const QString &f : QDir(TempPath(QString())).entryList({"*.xls", "*.csv"}, QDir::Files))
            QFile::remove(TempPath(f));
    }

    void summarySheet_data()
    {
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("rows");
        QTest::addColumn<QString>("name");
        QTest::newRow("dual, with an apostrophe") << 0x88 << 17 << "O'Brien's room";
        QTest::newRow("single, no name") << 0x80 << 12 << "";
    }
    void summarySheet()
    {
        QFETCH(int, type);
        QFETCH(int, rows);
        QFETCH(QString, name);
        CNodeDataSave s;
        Fill(s, quint8(type), 5, Wave);
        s.name = name;
        SetAlarm(s, 10.5f, 30, -20, 40);
        const QString path = TempPath("summary.xls");
        QVERIFY(HistoryExport::ExportSpreadsheet(s, path).ok);
        const auto sheets = ReadBack(path);
        QCOMPARE(Names(sheets), QStringList({"概述", "数据1"}));
        const XlsReader::SheetData &sum = sheets[0];
        QCOMPARE(sum.rows.size(), rows + 1);
        QCOMPARE(sum.Text(1, 1), name); // apostrophes unchanged
        QCOMPARE(sum.Text(7, 1), "     5");
        QCOMPARE(sum.Text(8, 1), "20.00°C");
        QCOMPARE(sum.Text(rows - (type == 0x88 ? 3 : 1), 1), "10.50°C"); // channel 1's lower limit
    }

    void sheetSplit_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<QList<int>>("sheetRows"); // rows of 数据1, 数据2, … including headers
        QTest::newRow("50000") << 50000 << QList<int>{50001};
        QTest::newRow("50001") << 50001 << QList<int>{50002, 1};
        QTest::newRow("200000") << 200000 << QList<int>{50002, 65536, 65536, 18930};
    }
    void sheetSplit()
    {
        QFETCH(int, samples);
        QFETCH(QList<int>, sheetRows);
        CNodeDataSave s;
        Fill(s, 0x80, samples, Wave);
        const QString path = TempPath("split.xls");
        QVERIFY(HistoryExport::ExportSpreadsheet(s, path).ok);
        const auto sheets = ReadBack(path);
        QCOMPARE(sheets.size(), sheetRows.size() + 1);
        int number = 1;
        for (int i = 0; i < sheetRows.size(); ++i) {
            const XlsReader::SheetData &d = sheets[i + 1];
            QCOMPARE(d.name, QStringLiteral("数据%1").arg(i + 1));
            QCOMPARE(d.rows.size(), sheetRows[i]);
            if (d.rows.size() > 1)
                QCOMPARE(d.Text(1, 0), QString::number(number));
            number += d.rows.size() - 1;
        }
        QCOMPARE(number, samples + 1);
    }

    void existingWorkbookKeepsSheets()
    {
        const QString path = TempPath("existing.xls");
        XlsWriter::Sheet data{"数据", 3, 2, [](int r, int c) {
                                  return c == 0 ? XlsWriter::Cell::OfText("P")
                                                : XlsWriter::Cell::OfNumber(12.5 * r);
                              }};
        XlsWriter::Sheet other{"Notes", 1, 1, [](int, int) { return XlsWriter::Cell::OfText("keep me"); }};
        {
            QFile f(path);
            QVERIFY(f.open(QIODevice::WriteOnly));
            QVERIFY(XlsWriter::Write(f, {data, other}));
        }
        CNodeDataSave s;
        Fill(s, 0x80, 4, Wave);
        const HistoryExport::Result r = HistoryExport::ExportSpreadsheet(s, path);
        QVERIFY2(r.ok, qPrintable(r.message));
        const auto sheets = ReadBack(path);
        QCOMPARE(Names(sheets), QStringList({"数据", "Notes", "CSpreadSheetBackup", "概述", "数据1"}));
        QCOMPARE(sheets[0].rows[2][1].kind, XlsWriter::Cell::Number); // kept as a number
        QCOMPARE(sheets[0].rows[2][1].number, 25.0);
        const XlsReader::SheetData &backup = sheets[2];
        QCOMPARE(backup.Text(1, 1), "12.5");
        QCOMPARE(backup.rows[1][1].kind, XlsWriter::Cell::Text); // the backup holds texts
    }

    // A refused export leaves the file as it was and no temporary beside it.
    void refusedExportLeavesFileUnchanged_data()
    {
        QTest::addColumn<QByteArray>("existing"); // empty: a workbook this export wrote
        QTest::addColumn<QString>("message");     // a part of the refusal
        QTest::newRow("second export") << QByteArray() << "“概述”";
        QTest::newRow("not a workbook") << QByteArray("plain text that is not a workbook\n") << "refused.xls";
    }
    void refusedExportLeavesFileUnchanged()
    {
        QFETCH(QByteArray, existing);
        QFETCH(QString, message);
        CNodeDataSave s;
        Fill(s, 0x88, 30, Wave);
        const QString path = TempPath("refused.xls");
        QFile f(path);
        if (existing.isEmpty())
            QVERIFY(HistoryExport::ExportSpreadsheet(s, path).ok);
        else
            QVERIFY(f.open(QIODevice::WriteOnly) && f.write(existing) == existing.size() && f.flush());
        const QByteArray before = ReadFile(path);
        const HistoryExport::Result r = HistoryExport::ExportSpreadsheet(s, path);
        QVERIFY(!r.ok);
        QVERIFY2(r.message.contains(message), qPrintable(r.message));
        QCOMPARE(ReadFile(path), before);
        QCOMPARE(QDir(TempPath(QString())).entryList({"refused*"}, QDir::Files).size(), 1);
    }

    void nothingLoaded()
    {
        CNodeDataSave s;
        QVERIFY(!HistoryExport::ExportSpreadsheet(s, TempPath("empty.xls")).ok);
        QVERIFY(!QFile::exists(TempPath("empty.xls")));
        QVERIFY(!HistoryExport::ExportCsv(s, TempPath("empty.csv")).ok);
    }

    void csv()
    {
        CNodeDataSave s;
        Fill(s, 0x88, 3, Wave);
        SetAlarm(s, 10, 20.5f, 0, 100);
        const QString path = TempPath("out.csv");
        QVERIFY(HistoryExport::ExportCsv(s, path).ok);
        const QByteArray bytes = ReadFile(path);
        QVERIFY(bytes.startsWith("\xEF\xBB\xBF"));
        const QList<QByteArray> lines = bytes.mid(3).split('\n');
        QCOMPARE(lines.size(), 5); // header, 3 rows, nothing after the last line end
        QCOMPARE(QString::fromUtf8(lines[0]), "序号,时间,通道1数据,通道2数据\r");
        QCOMPARE(QString::fromUtf8(lines[2]), "2,2024-3-1 08:01:00,20.10°C,59.00°C\r");
        QCOMPARE(lines[4], QByteArray());
    }
};

QTEST_GUILESS_MAIN(TestHistoryExport)
#include "test_historyexport.moc"
