#pragma once

#include "storage/CNodeDataSave.h"

#include <QList>
#include <QString>

#include <optional>

// The summary page's texts and figures for the sample store's selected range, and the item /
// value rows of the workbook's summary sheet.
namespace HistorySummary {

// Activation energy (J/mol) and gas constant (J/mol/K) of the mean kinetic temperature.
inline constexpr double kActivationEnergy = 83144.0;
inline constexpr double kGasConstant = 8.3144;

// Figures of one channel beyond maximum, minimum and average.
struct ChannelFigures {
    std::optional<double> meanKinetic; // °C; only for temperature channels with values
    bool limitsSet = false;            // alarm in force and both limits present
    int samplesAbove = 0;              // stored value > upper limit
    int samplesBelow = 0;              // stored value < lower limit
    qint64 secondsAbove = 0;           // samples x record interval
    qint64 secondsBelow = 0;
};

struct ChannelTexts {
    bool present = false;
    QString maximum, minimum, average; // "%.2f" + unit, empty without the channel
    QString alarmLabel;                // "温度:°C" / "湿度:%RH", empty without alarm
    QString lower, upper;              // "%.2f", empty when the label is empty
};

// A line below the described ones: its label and value.
struct ExtraLine {
    QString label;
    QString value;
};

struct Page {
    QString name, typeName, nodeKey;
    QString start, end; // empty when there is no range
    QString interval;   // days dropped, empty for 0
    QString count;
    ChannelTexts channel[2];
    QList<ExtraLine> extras; // mean kinetic temperatures, time outside the limits
    ChannelFigures figures[2];
    // Kept for the history view's search.
    qint64 rangeStart = 0;
    qint64 rangeEnd = 0;
    qint64 intervalSeconds = 0;
};

[[nodiscard]] Page Build(const CNodeDataSave &store);

// Mean kinetic temperature in °C of the values (°C) above the no-measurement mark; empty
// when there are none: (dH/R) / -ln(mean(exp(-dH/(R*T)))) with T in kelvin.
[[nodiscard]] std::optional<double> MeanKineticTemperature(const float *values, int count);

// Item / value rows of the workbook's summary sheet, the column names first.
struct Row {
    QString item;
    QString value;
};
[[nodiscard]] QList<Row> ExportRows(const CNodeDataSave &store);

} // namespace HistorySummary
