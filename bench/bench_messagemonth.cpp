// A month of 60000 archived messages: opening it in the history page (reading and indexing the
// monthly file, then the rows of the first screen, 30 rows of four columns, as the page's model
// supplies them), dumping it with `corvane-cli messages dump` into a file (the whole command,
// process start included), and making the program's message stores as start-up does, with that
// month last written and with no archive at all. Goals: open and dump under 200 ms; the stores
// made as fast with the big month as without.
#include "base/CvTime.h"
#include "messages/CMessageHisNew.h"
#include "messages/MessageListModels.h"

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <benchmark/benchmark.h>

namespace {

constexpr int kRecords = 60000;
constexpr int kScreenRows = 30;

// A home folder with one monthly file of kRecords records; the time of that month.
qint64 PreparedMonth(const QString &home)
{
    QDir().mkpath(home + QStringLiteral("/message"));
    QDir().mkpath(home + QStringLiteral("/profiler"));
    const qint64 start = *CvTime::FromLocal({2014, 3, 1, 0, 0, 0});
    CMessageHis writer(home);
    for (int i = 0; i < kRecords; ++i) {
        writer.NewEntry();
        writer.SetType(QStringLiteral("设置"));
        writer.SetTime(start + i * 40);
        writer.SetUser(QStringLiteral("admin"));
        writer.SetEvent(
            QStringLiteral("双温度记录仪{Freezer A, ID:00124b0001d4e5f2} 启动记录 <%1> & 报警上限").arg(i));
        writer.Commit();
    }
    (void)writer.SaveToMonth(start);
    return start;
}

void BM_OpenMonthFirstScreen(benchmark::State &state)
{
    QTemporaryDir home;
    const qint64 month = PreparedMonth(home.path());
    CMessageHis archive(home.path());
    MessageHistoryModel model(archive, MessageWords::Load());
    for (auto _ : state) {
        if (!model.LoadMonth(month) || model.rowCount() != kRecords) {
            state.SkipWithError("the month was not read whole");
            break;
        }
        for (int row = 0; row < kScreenRows; ++row) {
            for (int column = 0; column < MessageColumns::ColumnCount; ++column)
                benchmark::DoNotOptimize(model.index(row, column).data());
        }
    }
    state.counters["records"] = kRecords;
}
BENCHMARK(BM_OpenMonthFirstScreen)->Unit(benchmark::kMillisecond);

QString MonthFile(const QString &home)
{
    return home + QStringLiteral("/message/msg201403.cvm");
}

void BM_DumpMonth(benchmark::State &state)
{
    QTemporaryDir home;
    (void)PreparedMonth(home.path());
    const QString cli = QCoreApplication::applicationDirPath() + QStringLiteral("/../bin/corvane-cli");
    const QString out = home.path() + QStringLiteral("/dump.jsonl");
    for (auto _ : state) {
        QProcess p;
        p.setStandardOutputFile(out);
        p.start(cli, {QStringLiteral("messages"), QStringLiteral("dump"), MonthFile(home.path())});
        if (!p.waitForFinished(60000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
            state.SkipWithError("the dump failed");
            break;
        }
    }
    QFile lines(out);
    if (!lines.open(QIODevice::ReadOnly) || lines.readAll().count('\n') != kRecords)
        state.SkipWithError("the dump did not print every record");
    state.counters["records"] = kRecords;
}
BENCHMARK(BM_DumpMonth)->Unit(benchmark::kMillisecond)->Iterations(5);

// What start-up does before the login window: making the two message stores of a home folder.
// Argument: records of the month last written (0: no archive).
void BM_StoresBeforeLogin(benchmark::State &state)
{
    QTemporaryDir home;
    if (state.range(0) > 0)
        (void)PreparedMonth(home.path());
    else
        QDir().mkpath(home.path() + QStringLiteral("/message"));
    for (auto _ : state) {
        CMessageHisNew fresh(home.path());
        CMessageHis archive(home.path());
        benchmark::DoNotOptimize(archive.LoadedText().size());
    }
}
BENCHMARK(BM_StoresBeforeLogin)->Arg(0)->Arg(kRecords)->Unit(benchmark::kMillisecond);

} // namespace
