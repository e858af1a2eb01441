#pragma once

#include "history/core/HistorySummary.h"

#include <QWidget>

#include <array>

class CNodeDataSave;
class QFormLayout;
class QLabel;
class QLineEdit;

// The summary page: identity, range, interval and count of the selected range, each channel's
// maximum, minimum and average, the alarm limits as "lower < unit < upper", and below them the
// mean kinetic temperatures and the time spent outside the limits.
class CHistorySumm : public QWidget {
    Q_OBJECT
public:
    explicit CHistorySumm(const CNodeDataSave &store, QWidget *parent = nullptr);

    void Refresh();
    // The shown texts and figures; the view's search takes the range start and interval here.
    [[nodiscard]] const HistorySummary::Page &Shown() const { return m_page; }

private:
    struct ChannelControls {
        std::array<QLabel *, 3> figures{}; // maximum, minimum, average
        QLabel *alarmLabel = nullptr;
        QLineEdit *lower = nullptr;
        QLineEdit *upper = nullptr;
    };
    QLabel *AddField(QFormLayout *form, int labelId, int controlId);
    QWidget *BuildChannel(int channel, const std::array<int, 3> &figureIds, int alarmLabelId,
                          const std::array<int, 2> &limitIds);
    void ShowExtras();

    const CNodeDataSave &m_store;
    HistorySummary::Page m_page;
    QLabel *m_name = nullptr;
    QLabel *m_type = nullptr;
    QLabel *m_key = nullptr;
    QLabel *m_start = nullptr;
    QLabel *m_end = nullptr;
    QLabel *m_interval = nullptr;
    QLabel *m_count = nullptr;
    std::array<ChannelControls, 2> m_channels;
    QFormLayout *m_extras = nullptr;
};
