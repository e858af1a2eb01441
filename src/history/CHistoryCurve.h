#pragma once

#include <QWidget>

class CNodeDataSave;
class CurvePlotPage;

// The curve page of the history view: the plot page in its history form over the sample
// store's selected range. Every new data set starts at zoom 1 from its first sample.
class CHistoryCurve : public QWidget {
    Q_OBJECT
public:
    explicit CHistoryCurve(const CNodeDataSave &store, QWidget *parent = nullptr);

    void Refresh();
    [[nodiscard]] CurvePlotPage *Page() const { return m_page; }

private:
    const CNodeDataSave &m_store;
    CurvePlotPage *m_page = nullptr;
};
