#pragma once

#include <QWidget>

class CHistoryTextModel;
class CNodeDataSave;
class QTableView;

// The data page: one row per sample of the selected range, texts made on demand by the model.
class CHistoryText : public QWidget {
    Q_OBJECT
public:
    explicit CHistoryText(const CNodeDataSave &store, QWidget *parent = nullptr);
    ~CHistoryText() override;

    // Re-reads the store (load, range change, file open); the mark is cleared.
    void Refresh();
    // Marks, selects and scrolls to row (a search result); -1 clears the mark.
    void MarkRow(int row);
    [[nodiscard]] CHistoryTextModel &Model() const { return *m_model; }
    [[nodiscard]] QTableView *List() const { return m_list; }

private:
    std::unique_ptr<CHistoryTextModel> m_model;
    QTableView *m_list = nullptr;
};
