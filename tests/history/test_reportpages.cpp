// Report pages and the print preview's rules: page counts, the page-count edit, page buttons,
// wheel page turning, row texts, pages rendered into images and the PDF refusals.
#include "HistoryTestSupport.h"

#include "history/core/PrintPreviewState.h"
#include "history/core/ReportPages.h"
#include "views/core/CurvePainter.h"

#include <QImage>
#include <QPainter>
#include <QTest>

#include <cmath>

using namespace historytest;
using ReportPages::Mode;

namespace {

constexpr double kDpi = 96.0;

int Px(double mm)
{
    return int(mm * kDpi / 25.4);
}

QImage Render(const CNodeDataSave &s, Mode mode, int page, int total)
{
    const ReportPages::Geometry g(kDpi, kDpi);
    QImage image(g.PageSize(mode), QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    ReportPages::Report(s).Paint(painter, g, mode, page, total);
    return image;
}

// Pixels of a colour in a rectangle given in millimetres.
int CountColour(const QImage &image, const QRectF &mm, const QColor &colour)
{
    int n = 0;
    for (int y = Px(mm.top()); y <= Px(mm.bottom()); ++y)
        for (int x = Px(mm.left()); x <= Px(mm.right()); ++x)
            n += image.pixelColor(x, y) == colour ? 1 : 0;
    return n;
}

// A dual-temperature record: channel 1 a wave between 10 and 30, channel 2 a ramp 0 .. 20.
void FillDual(CNodeDataSave &s, int n)
{
    Fill(s, 0x88, n, [n](int i, int c) {
        return c == 0 ? float(20.0 + 10.0 * std::sin(i * 0.05)) : float(20.0 * i / std::max(1, n - 1));
    });
}

} // namespace

class TestReportPages : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseChineseCelsius(); }
    void pageCount_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("curvePages");
        QTest::addColumn<int>("pages");
        QTest::newRow("text 120") << 2 << 120 << 1 << 3;
        QTest::newRow("text 121") << 2 << 121 << 1 << 4;
        QTest::newRow("text 1") << 2 << 1 << 1 << 2;
        QTest::newRow("curve") << 1 << 10 << 7 << 7;
    }
    void pageCount()
    {
        QFETCH(int, mode);
        QFETCH(int, samples);
        QFETCH(int, curvePages);
        QFETCH(int, pages);
        QCOMPARE(ReportPages::PageCount(Mode(mode), samples, curvePages), pages);
    }
    void filterDigits_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("caret");
        QTest::addColumn<QString>("kept");
        QTest::addColumn<int>("caretAfter");
        QTest::newRow("1a2") << "1a2" << 3 << "12" << 2;
        QTest::newRow("three digits") << "123" << 3 << "12" << 2;
        QTest::newRow("other script digit") << QString(QChar(0x663)) + QLatin1Char('7') << 2 << "7" << 1;
        QTest::newRow("nothing left") << "-" << 1 << "" << 0;
    }
    void filterDigits()
    {
        QFETCH(QString, typed);
        QFETCH(int, caret);
        QFETCH(QString, kept);
        QFETCH(int, caretAfter);
        QCOMPARE(PrintPreviewState::FilterDigits(typed, caret), kept);
        QCOMPARE(caret, caretAfter);
    }
    void pageCountEdit_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("total");
        QTest::addColumn<QString>("edit");
        QTest::newRow("150") << "150" << 99 << "99";
        QTest::newRow("0") << "0" << 1 << "1";
        QTest::newRow("empty") << "" << 1 << "1";
    }
    void pageCountEdit()
    {
        QFETCH(QString, typed);
        QFETCH(int, total);
        QFETCH(QString, edit);
        PrintPreviewState state(500);
        state.Next(); // one page: stays on page 1
        QString text = typed;
        QVERIFY(state.ApplyPageCount(text));
        QCOMPARE(text, edit);
        QCOMPARE(state.Total(), total);
        QCOMPARE(state.Current(), 1);
        QCOMPARE(state.Indicator(), QStringLiteral("1/%1               ").arg(total));
        state.SetMode(Mode::Text);
        QVERIFY(!state.ApplyPageCount(text));
        QVERIFY(!state.PreviewEnabled(QStringLiteral("5")));
    }
    void noSamples()
    {
        PrintPreviewState state(0);
        QString text = QStringLiteral("5");
        QVERIFY(!state.ApplyPageCount(text));
        state.Last();
        state.SetMode(Mode::Text);
        state.SetPageHeight(1000);
        QVERIFY(!state.Wheel(-10));
        QCOMPARE(state.Current(), 1);
        QCOMPARE(state.Indicator(), QStringLiteral("0/0"));
        const PrintPreviewState::Buttons b = state.PageButtons();
        QVERIFY(!b.first && !b.previous && !b.next && !b.last);
    }
    void modeSwitchAndWheel()
    {
        PrintPreviewState state(121);
        QString seven = QStringLiteral("7");
        QVERIFY(state.ApplyPageCount(seven));
        state.Next();
        state.SetMode(Mode::Text);
        QCOMPARE(state.Total(), 4);
        QCOMPARE(state.Current(), 1);
        QCOMPARE(state.EditText(), QStringLiteral("4"));
        state.SetPageHeight(1000);
        QCOMPARE(state.ScrollMax(), 500);
        QVERIFY(!state.Wheel(-1)); // one notch down: 20 pixels
        QCOMPARE(state.Scroll(), 20);
        state.ScrollTo(9999);
        QCOMPARE(state.Scroll(), 500);
        QVERIFY(!state.Wheel(-3)); // three notches at the bottom: nothing yet
        QVERIFY(state.Wheel(-1));  // the fourth turns the page, shown from its top
        QCOMPARE(state.Current(), 2);
        QCOMPARE(state.Scroll(), 0);
        QVERIFY(!state.Wheel(-1));
        QVERIFY(!state.Wheel(4)); // back to the top (one notch) and three at the top
        QVERIFY(state.Wheel(1));
        QCOMPARE(state.Current(), 1);
        QCOMPARE(state.Scroll(), 500); // the previous page from its bottom
        state.SetMode(Mode::Curve);
        QCOMPARE(state.Total(), 7); // the curve page count was kept
        QVERIFY(!state.Wheel(-8));  // curve pages do not scroll
        QCOMPARE(state.Current(), 1);
    }
    void strips_data()
    {
        QTest::addColumn<int>("samples");
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("total");
        QTest::addColumn<int>("strip");
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("count");
        QTest::newRow("10 on 99 pages, empty") << 10 << 4 << 99 << 1 << 10 << 0;
        QTest::newRow("200000 on 2 pages, piece 4") << 200000 << 2 << 2 << 1 << 133336 << 33334;
    }
    void strips()
    {
        QFETCH(int, samples);
        QFETCH(int, page);
        QFETCH(int, total);
        QFETCH(int, strip);
        QFETCH(int, first);
        QFETCH(int, count);
        CNodeDataSave s;
        FillDual(s, samples);
        const int width = Px(240);
        const ReportPages::Strip st = ReportPages::Report(s).StripOf(page, total, strip, width);
        QCOMPARE(st.first, first);
        QCOMPARE(st.count, count);
        const auto &index = st.points.index[0];
        QVERIFY(int(index.size()) <= std::max(count, 0) && int(index.size()) <= width + 2);
        QCOMPARE(st.points.index[1].size(), index.size());
        if (count > 0) // the reduction keeps the piece's extremes
            QVERIFY(std::is_sorted(index.begin(), index.end()) && index.back() < count);
    }
    void textRows_data()
    {
        QTest::addColumn<int>("page");
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("time");
        QTest::addColumn<QString>("value");
        QTest::newRow("first row") << 2 << 1 << "1"
                                   << " 2024-3-1 08:00:00" << QString::fromUtf8("-5.00°C [<0.00]");
        QTest::newRow("last sample") << 4 << 1 << "121"
                                     << " 2024-3-1 10:00:00" << QString::fromUtf8("32.00°C [>30.00]");
        QTest::newRow("past the range") << 4 << 2 << QString() << QString() << QString();
    }
    void textRows()
    {
        QFETCH(int, page);
        QFETCH(int, row);
        QFETCH(QString, number);
        QFETCH(QString, time);
        QFETCH(QString, value);
        CNodeDataSave s;
        // Sample 0 is below the lower limit, the last one over the upper one.
        Fill(s, 0x80, 121, [](int i, int) { return i == 0 ? -5.0f : float(20.0 + i / 10.0); });
        SetAlarm(s, 0.0f, 30.0f, 0.0f, 0.0f);
        const ReportPages::TextRow r = ReportPages::Report(s).Row(page, row);
        QCOMPARE(r.number, number);
        QCOMPARE(r.time, time);
        QCOMPARE(r.value[0], value);
        QVERIFY(r.value[1].isEmpty()); // a single-temperature logger has no channel 2
    }
    void curvePage()
    {
        CNodeDataSave s;
        FillDual(s, 600);
        const QImage plain = Render(s, Mode::Curve, 1, 1);
        SetAlarm(s, 15.0f, 25.0f, 2.0f, 18.0f); // channel 2's lines lie elsewhere (9 and 41 mm down)
        const QImage alarmed = Render(s, Mode::Curve, 1, 1);
        QCOMPARE(plain.size(), QSize(1097, 756));
        const QColor ch1 = CurvePainter::ChannelColor(0);
        const QColor ch2 = CurvePainter::ChannelColor(1);
        for (int k = 0; k < 3; ++k) {
            const double top = 25 + 57 * k;
            const QRectF strip(30.5, top, 239.5, 50);
            QVERIFY2(CountColour(plain, strip, ch1) > 200, qPrintable(QString::number(k)));
            QVERIFY2(CountColour(plain, strip, ch2) > 200, qPrintable(QString::number(k)));
            // Channel 1's upper limit 25 lies at 5 + 40 x (30 - 25) / 20 = 15 mm below the top:
            // a dashed line across the strip only when the alarm is set.
            const QRectF upperRow(31, top + 15 - 0.3, 238, 0.6);
            const int width = Px(238);
            QVERIFY(CountColour(alarmed, upperRow, ch1) > width / 3);
            QVERIFY(CountColour(plain, upperRow, ch1) < width / 10);
        }
    }
    void pdfFailures()
    {
        CNodeDataSave s;
        FillDual(s, 10);
        const QString missingFolder = TempPath(QStringLiteral("no/such/folder/r.pdf"));
        ReportPages::PdfResult r = ReportPages::WritePdf(s, missingFolder, Mode::Curve, 1);
        QVERIFY(!r.ok && r.message.contains(missingFolder));
        QVERIFY(!QFile::exists(missingFolder));
        s.Clear();
        const QString empty = TempPath(QStringLiteral("empty.pdf"));
        r = ReportPages::WritePdf(s, empty, Mode::Text, 1);
        QVERIFY(!r.ok && !r.message.isEmpty());
        QVERIFY(!QFile::exists(empty));
    }
};

QTEST_MAIN(TestReportPages)
#include "test_reportpages.moc"
