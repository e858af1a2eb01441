// The print preview dialog driven with keys and clicks: the page-count edit, "预览", the page
// buttons and "导出PDF" with its folder.
#include "HistoryTestSupport.h"
#include "PdfPages.h"

#include "base/UserPrompt.h"
#include "history/CCorvPrintDlg.h"
#include "storage/CCorvFile.h"

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTest>

#include <cmath>

using namespace historytest;

namespace {

class NoticePrompt final : public IUserPrompt {
public:
    QStringList notices;
    bool AskYesNo(QWidget *, const QString &) override { return false; }
    void Show(QWidget *, PromptIcon icon, const QString &, const QString &text) override
    {
        notices << QString::number(int(icon)) + QLatin1Char('|') + text;
    }
    int RunModal(QDialog &) override { return QDialog::Rejected; }
};

template <typename T> T *Find(const QDialog &d, const char *name)
{
    T *w = d.findChild<T *>(QLatin1String(name));
    if (!w)
        qFatal("no %s", name);
    return w;
}

QList<bool> PageButtons(const QDialog &d)
{
    QList<bool> on;
    for (const char *name : {"btn1205", "btn1206", "btn1012", "btn1013"})
        on << Find<QPushButton>(d, name)->isEnabled();
    return on;
}

} // namespace

class TestPrintDialog : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { UseChineseCelsius(); }
    // Each control reaches its rule once; the rules themselves are checked on the widget-free state.
    void pageCountAndButtons()
    {
        CNodeDataSave s;
        Fill(s, 0x80, 121, [](int i, int) { return float(i % 17); });
        NoticePrompt prompt;
        CCorvPrintDlg d(s, prompt);
        auto *edit = Find<QLineEdit>(d, "edit1138");
        auto *preview = Find<QPushButton>(d, "btn1159");
        edit->clear();
        QTest::keyClicks(edit, QStringLiteral("1a9"));
        QCOMPARE(edit->text(), QStringLiteral("19"));
        QTest::mouseClick(Find<QWidget>(d, "spin1201up"), Qt::LeftButton);
        QCOMPARE(edit->text(), QStringLiteral("20"));
        QTest::mouseClick(preview, Qt::LeftButton);
        QCOMPARE(d.State().Total(), 20);
        QVERIFY(!preview->isEnabled());
        QCOMPARE(PageButtons(d), QList<bool>({false, false, true, true}));
        QTest::mouseClick(Find<QPushButton>(d, "btn1013"), Qt::LeftButton);
        QCOMPARE(Find<QLabel>(d, "static1207")->text().trimmed(), QStringLiteral("20/20"));
        QTest::mouseClick(Find<QPushButton>(d, "btn1206"), Qt::LeftButton);
        QCOMPARE(PageButtons(d), QList<bool>({true, true, true, true}));
        Find<QRadioButton>(d, "radio1203")->click(); // text: summary page and 3 pages of rows
        QCOMPARE(edit->text(), QStringLiteral("4"));
        QVERIFY(!edit->isEnabled());
    }
    void exportPdf()
    {
        CNodeDataSave s;
        Fill(s, 0x8C, 200, [](int i, int c) { return float(c == 0 ? 20 + std::sin(i) : 50 + i % 7); });
        NoticePrompt prompt;
        CCorvPrintDlg d(s, prompt);
        Find<QRadioButton>(d, "radio1203")->click();
        const QString folder = TempPath(QStringLiteral("reports"));
        QVERIFY(QDir().mkpath(folder));
        d.SetPdfChooser([&](QWidget *, const QString &) { return folder + QStringLiteral("/week"); });
        d.ExportPdf();
        QCOMPARE(prompt.notices.size(), 1);
        QCOMPARE(pdftest::ReadPages(ReadFile(folder + QStringLiteral("/week.pdf"))).boxes.size(), 5);
        QCOMPARE(QDir(CCorvFile::RememberedSaveFolder()).canonicalPath(), QDir(folder).canonicalPath());

        d.SetPdfChooser([&](QWidget *, const QString &) { return folder + QStringLiteral("/gone/x.pdf"); });
        d.ExportPdf();
        QCOMPARE(prompt.notices.size(), 2);
        QVERIFY(prompt.notices.last().startsWith(QString::number(int(PromptIcon::Warning))));
    }
};

QTEST_MAIN(TestPrintDialog)
#include "test_printdialog.moc"
