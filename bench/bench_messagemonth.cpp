// Opening a month of 60000 archived messages in the history page: reading and indexing the
// monthly file, then the rows of the first screen (30 rows, four columns), as the page's model
// supplies them. Goal: under 200 ms.
#include "base/CvTime.h"
#include "messages/CMessageHis.h"
#include "messages/MessageListModels.h"

#include <QDir>
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

} // namespace
