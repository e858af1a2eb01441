#pragma once

#include "history/core/HistoryExport.h"
#include "storage/CNodeDataSave.h"

#include <QDate>
#include <QString>
#include <QStringList>
#include <QTime>

// Widget-free rules of the history view: the selectable range with its pickers, the data
// page's row of a searched moment and "另存为" with its remembered folder.
namespace HistoryViewRules {

// The loaded record's bounds and the selected range (seconds). A picker supplies the date or
// the time of day of one end; the other part is kept from that end.
class Range {
public:
    // Bounds and range from the store's selected samples; false (nothing changed) without a range.
    bool SetFromStore(const CNodeDataSave &store);
    void SetStartDate(const QDate &date) { m_from = Combine(m_from, &date, nullptr); }
    void SetStartTime(const QTime &time) { m_from = Combine(m_from, nullptr, &time); }
    void SetEndDate(const QDate &date) { m_to = Combine(m_to, &date, nullptr); }
    void SetEndTime(const QTime &time) { m_to = Combine(m_to, nullptr, &time); }
    // "设置" is enabled exactly for record start <= from <= to <= record end.
    [[nodiscard]] bool CanApply() const;
    // Selects the range in the store when it can be applied; false when refused.
    bool Apply(CNodeDataSave &store) const;

    [[nodiscard]] qint64 RecordStart() const { return m_recordStart; }
    [[nodiscard]] qint64 RecordEnd() const { return m_recordEnd; }
    [[nodiscard]] qint64 From() const { return m_from; }
    [[nodiscard]] qint64 To() const { return m_to; }

private:
    [[nodiscard]] static qint64 Combine(qint64 seconds, const QDate *date, const QTime *time);
    qint64 m_recordStart = 0;
    qint64 m_recordEnd = 0;
    qint64 m_from = 0;
    qint64 m_to = 0;
};

// The data page's row of a moment: (moment - range start) / interval, -1 when the interval is
// 0, the moment lies before the range or beyond its rows.
[[nodiscard]] int RowOfMoment(const CNodeDataSave &store, qint64 moment);

// Something is loaded that print and save can use: a range and non-zero record bounds.
[[nodiscard]] bool CanSave(const CNodeDataSave &store);

// Filters of the save dialog in HistoryExport::Filter order.
[[nodiscard]] QStringList SaveFilters();
// The remembered folder when it names an existing folder, else the data-save folder
// (created when missing).
[[nodiscard]] QString InitialFolder();

struct SaveOutcome {
    bool saved = false;
    QString path;   // the written file
    QString status; // status text after a save; the error message after a failure
};
// Saves or exports the store by the chosen name and filter; after a save the folder is
// remembered. Nothing happens for a choice no rule takes (saved false, status empty).
[[nodiscard]] SaveOutcome Save(CNodeDataSave &store, const QString &chosenPath, int selectedFilter);

} // namespace HistoryViewRules
