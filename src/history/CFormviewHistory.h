#pragma once

#include "base/UserPrompt.h"
#include "history/core/HistoryViewRules.h"

#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

class CCorvaneBeeNode;
class CCorvaneODBC;
class CHistoryCurve;
class CHistoryNodeModel;
class CHistoryRecordModel;
class CHistorySumm;
class CHistoryText;
class CNodeDataSave;
class QDateEdit;
class QDateTimeEdit;
class QLabel;
class QPushButton;
class QTabWidget;
class QTableView;
class QTimeEdit;

// The history tab: the loggers, the stored records of the chosen one, and the loaded record
// (or data file) on three pages: curve, data and summary. The operator narrows the range, jumps
// to a moment, saves the range as a data file, a workbook or a CSV file, or opens a data file.
// Every page reads the database's one sample store; the view holds no samples of its own.
//
// The owner wires "reload" to RefreshList, "node changed" to UpdateNode and statusChanged to
// the main window's status text.
class CFormviewHistory : public QWidget {
    Q_OBJECT
public:
    struct SaveChoice {
        QString path; // empty: cancelled
        int filter = 0;
    };
    // File dialogs, replaced by tests: the start folder and filters in, the choice out.
    using SaveChooser =
        std::function<SaveChoice(QWidget *parent, const QString &folder, const QStringList &filters)>;
    using OpenChooser = std::function<QString(QWidget *parent, const QString &folder)>;

    CFormviewHistory(CCorvaneBeeNode &table, CCorvaneODBC &database, IUserPrompt *prompt = nullptr,
                     QWidget *parent = nullptr);
    ~CFormviewHistory() override;

    void SetChoosers(SaveChooser save, OpenChooser open);

    [[nodiscard]] CHistoryNodeModel &Nodes() const { return *m_nodes; }
    [[nodiscard]] CHistoryRecordModel &Records() const { return *m_records; }
    [[nodiscard]] QTableView *NodeList() const { return m_nodeList; }
    [[nodiscard]] QTableView *RecordList() const { return m_recordList; }
    [[nodiscard]] CHistoryCurve *CurvePage() const { return m_curve; }
    [[nodiscard]] CHistoryText *TextPage() const { return m_text; }
    [[nodiscard]] CHistorySumm *SummaryPage() const { return m_summary; }
    [[nodiscard]] const HistoryViewRules::Range &Range() const { return m_range; }
    [[nodiscard]] const CNodeDataSave &Store() const;

public slots:
    void RefreshList();
    void UpdateNode(int id);
    // A click in the node list: the node's records fill the record list.
    void ChooseNode(int row);
    // A double click in the record list.
    void LoadRecord(int row);
    void Apply();
    void Search();
    void SaveAs();
    void OpenFile();
    // "打印数据": the print preview of the loaded range, modal.
    void PrintData();

signals:
    void statusChanged(const QString &text);

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BuildLayout();
    QWidget *BuildLists();
    QWidget *BuildControls();
    QWidget *BuildTabs();
    QPushButton *MakeButton(const char *objectName, int textId, bool enterClicks);
    void ConnectPickers();
    // Loads the record id of the node into the sample store; false when a step fails.
    bool LoadStored(const QString &nodeKey, qint32 id);
    // After a load or file open: pages, identity texts, range and pickers.
    void ShowLoaded();
    void RefreshPages();
    void ShowRange();
    void RangeEdited();

    CCorvaneODBC &m_database;
    std::unique_ptr<IUserPrompt> m_ownPrompt;
    IUserPrompt *m_prompt;
    SaveChooser m_chooseSave;
    OpenChooser m_chooseOpen;
    std::unique_ptr<CHistoryNodeModel> m_nodes;
    std::unique_ptr<CHistoryRecordModel> m_records;
    HistoryViewRules::Range m_range;
    QTableView *m_nodeList = nullptr;
    QTableView *m_recordList = nullptr;
    QLabel *m_name = nullptr;
    QLabel *m_key = nullptr;
    QDateEdit *m_startDate = nullptr;
    QTimeEdit *m_startTime = nullptr;
    QDateEdit *m_endDate = nullptr;
    QTimeEdit *m_endTime = nullptr;
    QDateTimeEdit *m_moment = nullptr;
    QPushButton *m_set = nullptr;
    QPushButton *m_print = nullptr;
    QTabWidget *m_tabs = nullptr;
    CHistoryCurve *m_curve = nullptr;
    CHistoryText *m_text = nullptr;
    CHistorySumm *m_summary = nullptr;
};
