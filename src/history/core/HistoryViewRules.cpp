#include "history/core/HistoryViewRules.h"

#include "base/CvTime.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "history/core/HistoryCoreLog.h"
#include "storage/CCorvFile.h"

#include <QDir>

namespace HistoryViewRules {

bool Range::SetFromStore(const CNodeDataSave &s)
{
    if (!s.HasRange())
        return false;
    m_recordStart = m_from = s.times()[s.rangeFirst];
    m_recordEnd = m_to = s.times()[s.rangeFirst + s.rangeCount - 1];
    return true;
}

bool Range::CanApply() const
{
    return m_recordStart <= m_from && m_from <= m_to && m_to <= m_recordEnd;
}

bool Range::Apply(CNodeDataSave &store) const
{
    return CanApply() && store.ComputeRangeStatistics(m_from, m_to) == 1;
}

qint64 Range::Combine(qint64 seconds, const QDate *date, const QTime *time)
{
    CvTime::LocalFields f = CvTime::ToLocal(seconds);
    if (date) {
        f.year = date->year();
        f.month = date->month();
        f.day = date->day();
    }
    if (time) {
        f.hour = time->hour();
        f.minute = time->minute();
        f.second = time->second();
    }
    // An impossible date or time keeps the end as it was.
    return CvTime::FromLocal(f).value_or(seconds);
}

int RowOfMoment(const CNodeDataSave &s, qint64 moment)
{
    if (s.interval == 0 || !s.HasRange())
        return -1;
    const qint64 offset = moment - s.times()[s.rangeFirst];
    if (offset < 0)
        return -1;
    const qint64 row = offset / s.interval;
    return row < s.rangeCount ? int(row) : -1;
}

bool CanSave(const CNodeDataSave &s)
{
    return s.HasRange() && s.recordStart != 0 && s.recordEnd != 0;
}

QStringList SaveFilters()
{
    return {LoadStr(Sid::DataFileFilter), LoadStr(Sid::WorksheetFilter), LoadStr(Sid::CsvFilter)};
}

QString InitialFolder()
{
    return CCorvFile::InitialFolder(CCorvFile::RememberedSaveFolder());
}

SaveOutcome Save(CNodeDataSave &store, const QString &chosenPath, int selectedFilter)
{
    const HistoryExport::SaveTarget target = HistoryExport::ChooseTarget(chosenPath, selectedFilter);
    if (target.kind == HistoryExport::Target::None)
        return {};
    const HistoryExport::Result result = HistoryExport::SaveAs(store, target.path);
    if (!result.ok)
        return {false, target.path, result.message};
    if (!CCorvFile::RememberSaveFolder(target.path))
        qCWarning(lcHistoryCore) << "cannot remember the save folder of" << target.path;
    return {true, target.path, LoadStr(444) /* 数据另存为： */ + QDir::toNativeSeparators(target.path)};
}

} // namespace HistoryViewRules
