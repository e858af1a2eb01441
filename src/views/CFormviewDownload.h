#pragma once

#include "base/UserPrompt.h"
#include "link/RequestKind.h"
#include "views/ViewLinkTypes.h"

#include <QWidget>

#include <functional>
#include <memory>

class CCorvaneBeeNode;
class CCorvaneODBC;
class CDownloadListModel;
class CUartAffairInterface;
class DownloadPlanner;
class QDateTimeEdit;
class QLabel;
class QPushButton;
class QRadioButton;
class QTableView;

// The download tab: the loggers with their download plan, mode and progress; the panel to set
// the selected logger's plan (stored in the node table) and mode (kept in its live record); the
// buttons that download the history of the checked loggers or cancel a queued download. While
// plans are armed the planner fires them every 5 seconds when the receiver is connected.
//
// The owner wires it: "reload" to RefreshList, "node changed" to UpdateNode, the view-specific
// notice to Planner().ForceTimer.
class CFormviewDownload : public QWidget {
    Q_OBJECT
public:
    using Submitter = ViewSubmitter;
    using Canceller = ViewCanceller;

    CFormviewDownload(CCorvaneBeeNode &table, CCorvaneODBC &database, Submitter submit, Canceller cancel,
                      IUserPrompt *prompt = nullptr, QWidget *parent = nullptr);
    ~CFormviewDownload() override;

    // The clock of the panel checks and of the planner.
    void SetClock(std::function<qint64()> clock);
    [[nodiscard]] CDownloadListModel &Model() const { return *m_model; }
    [[nodiscard]] DownloadPlanner &Planner() const { return *m_planner; }
    [[nodiscard]] QTableView *List() const { return m_list; }
    [[nodiscard]] int SelectedNode() const { return m_selected; }

public slots:
    void RefreshList();
    void UpdateNode(int id);
    void SetPlan();
    void SetMode();
    void Download();
    void CancelDownload();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    void BuildLayout();
    QWidget *BuildPanel();
    QPushButton *MakeButton(const char *objectName, int textId, bool enterClicks = false);
    QRadioButton *MakeRadio(const char *objectName, int textId);
    QDateTimeEdit *MakePicker(const char *objectName, const QString &format);
    void SelectionChanged();
    void FillPanel();
    void PlanChosen(int plan);
    void ModeChosen(int mode);
    [[nodiscard]] int LastSelectedRow() const;

    CCorvaneBeeNode &m_table;
    CCorvaneODBC &m_database;
    Submitter m_submit;
    Canceller m_cancel;
    std::unique_ptr<IUserPrompt> m_ownPrompt;
    IUserPrompt *m_prompt;
    std::function<qint64()> m_clock;
    std::unique_ptr<CDownloadListModel> m_model;
    std::unique_ptr<DownloadPlanner> m_planner;
    int m_selected = -1;
    int m_plan = 0;
    int m_mode = 0;

    QTableView *m_list = nullptr;
    QLabel *m_name = nullptr;
    QLabel *m_type = nullptr;
    QLabel *m_address = nullptr;
    QRadioButton *m_planRadios[3] = {};
    QDateTimeEdit *m_daily = nullptr;
    QDateTimeEdit *m_once = nullptr;
    QPushButton *m_setPlan = nullptr;
    QRadioButton *m_modeRadios[2] = {};
    QDateTimeEdit *m_from = nullptr;
    QDateTimeEdit *m_to = nullptr;
    QPushButton *m_setMode = nullptr;
};
