#pragma once

#include "history/core/HistoryTexts.h"
#include "storage/CNodeDataSave.h"

#include <QString>

// What the data page keeps of the sample store after a refresh (units, shown channels, alarm
// limits) and the texts of its rows, made on demand: the workbook, the CSV file and the page
// all read the same texts.
class HistoryRows {
public:
    enum Column { ColNumber, ColTime, ColChannel1, ColChannel2, ColumnCount };

    explicit HistoryRows(const CNodeDataSave &store) : m_store(store) { Refresh(); }

    // Takes units, flags and limits from the store's current record and range.
    void Refresh();

    [[nodiscard]] int RowCount() const { return m_count; }
    [[nodiscard]] static QString Header(int column);
    // Text of row i (sample first + i) in a column; empty outside the rows.
    [[nodiscard]] QString Cell(int row, int column) const;
    // A value cell: empty at or below the no-measurement mark, else the value with its unit
    // and the alarm marks "[>upper]" "[<lower]" when the alarm is set.
    [[nodiscard]] QString ValueText(int channel, float value) const;

    [[nodiscard]] const CNodeDataSave &Store() const { return m_store; }
    [[nodiscard]] const HistoryTexts::ChannelUnits &Units() const { return m_units; }

private:
    struct Channel {
        bool shown = false;
        float upper = 0;
        float lower = 0;
    };
    const CNodeDataSave &m_store;
    HistoryTexts::ChannelUnits m_units;
    Channel m_channel[2];
    bool m_alarm = false;
    int m_first = 0;
    int m_count = 0;
};
