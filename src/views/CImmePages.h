#pragma once

#include "views/CurvePlotPage.h"

#include <QWidget>

class CCorvaneBeeNode;
class CImmeTextModel;
class QTableView;

// The curve page of the real-time view: the sample ring of the logger shown, redrawn whenever
// it is shown again (a new sample arrived).
class CImmeCurve : public CurvePlotPage {
    Q_OBJECT
public:
    explicit CImmeCurve(CCorvaneBeeNode &table, QWidget *parent = nullptr);

    void ShowNode(int id);
    [[nodiscard]] int Shown() const { return m_id; }

private:
    CCorvaneBeeNode &m_table;
    int m_id = -1;
};

// The text page of the real-time view: one row per sample of the logger shown.
class CImmeText : public QWidget {
    Q_OBJECT
public:
    explicit CImmeText(CCorvaneBeeNode &table, QWidget *parent = nullptr);
    ~CImmeText() override;

    void ShowNode(int id);
    [[nodiscard]] CImmeTextModel &Model() const { return *m_model; }
    [[nodiscard]] QTableView *List() const { return m_list; }

private:
    std::unique_ptr<CImmeTextModel> m_model;
    QTableView *m_list = nullptr;
};
