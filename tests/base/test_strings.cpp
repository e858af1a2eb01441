#include "base/AppSettings.h"
#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QtTest>

#include <map>

namespace {

struct Entry {
    QString text;
    QString file;
};

// Every built-in table file of a language, parsed file by file so that the raw (untruncated)
// texts and the file each id comes from are known.
struct RawTable {
    std::map<int, Entry> entries;
    QStringList duplicates; // ids defined in more than one file
    QStringList files;
};

RawTable ReadBuiltin(UiLanguage language)
{
    RawTable table;
    const QDir dir(StringTable::BuiltinPath(language));
    table.files = dir.entryList({QStringLiteral("*.tsv")}, QDir::Files, QDir::Name);
    for (const QString &name : table.files) {
        QFile f(dir.filePath(name));
        if (!f.open(QIODevice::ReadOnly))
            continue;
        QHash<int, QString> one;
        StringTable::Parse(QString::fromUtf8(f.readAll()), one);
        for (auto it = one.cbegin(); it != one.cend(); ++it) {
            const auto [pos, inserted] = table.entries.emplace(it.key(), Entry{it.value(), name});
            if (!inserted)
                table.duplicates
                    << QStringLiteral("%1 (%2 and %3)").arg(it.key()).arg(pos->second.file, name);
        }
    }
    return table;
}

// printf conversions in order: %d, %s, %.2f, %4.2f, %.2d, ... ("%%" is a literal percent sign).
QStringList Conversions(const QString &text)
{
    static const QRegularExpression re(QStringLiteral("%(%|[-+ #0]*\\d*(?:\\.\\d+)?[a-zA-Z])"));
    QStringList out;
    for (auto it = re.globalMatch(text); it.hasNext();) {
        const QString c = it.next().captured(0);
        if (c != QLatin1String("%%"))
            out << c;
    }
    return out;
}

} // namespace

class TestStrings : public QObject {
    Q_OBJECT
private slots:
    // Both languages hold the same ids, each once, with texts that are non-empty, short enough,
    // with the same printf conversions.
    void tablesAgree()
    {
        const RawTable zh = ReadBuiltin(UiLanguage::Chinese);
        const RawTable en = ReadBuiltin(UiLanguage::English);
        // The numbered texts run from 101 to 485 and the command-state tables alone hold 83 ids.
        QVERIFY(zh.entries.size() >= 400);
        // Two files of one language must not define the same id: the later file would silently win.
        QStringList faults = zh.duplicates + en.duplicates;
        for (const auto &[table, other] : {std::pair{&zh, &en}, std::pair{&en, &zh}}) {
            for (const auto &[id, e] : table->entries) {
                const auto match = other->entries.find(id);
                if (match == other->entries.end())
                    faults << QStringLiteral("%1 of %2 missing in the other language").arg(id).arg(e.file);
                else if (Conversions(e.text) != Conversions(match->second.text))
                    faults << QStringLiteral("%1 conversions differ").arg(id);
                if (e.text.isEmpty() || e.text.size() > StringTable::kMaxLength)
                    faults << QStringLiteral("%1 empty or too long in %2").arg(id).arg(e.file);
            }
        }
        QVERIFY2(faults.isEmpty(), qPrintable(faults.join(QLatin1String("; "))));
    }

    void langFolderOverridesSingleEntries()
    {
        const QString home = qEnvironmentVariable("CORVANE_TEST_HOME", QDir::currentPath());
        AppSettings &settings = AppSettings::Instance();
        settings.Reset();
        settings.SetHomeFolder(home);
        const QString lang = settings.LangFolder();
        QVERIFY(QDir().mkpath(lang));
        QFile file(lang + QLatin1Char('/') + StringTable::OverrideFileName(UiLanguage::Chinese));
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(
            QStringLiteral("# site texts\n117\t本地接收器\r\n20999\t第一行\\n第二行\nnot a line\n").toUtf8());
        file.close();

        StringTable zh;
        zh.Load(UiLanguage::Chinese, lang);
        QCOMPARE(zh.Text(117), QStringLiteral("本地接收器"));
        QCOMPARE(zh.Text(118), QStringLiteral("中转器")); // untouched entries stay built in
        QCOMPARE(zh.Text(20999), QStringLiteral("第一行\n第二行"));

        // The process-wide table takes the home folder's override as well.
        settings.SetLanguage(UiLanguage::Chinese);
        QCOMPARE(LoadStr(117), QStringLiteral("本地接收器"));
        QVERIFY(file.remove());
        settings.Reset();
    }
};

QTEST_GUILESS_MAIN(TestStrings)
#include "test_strings.moc"
