#pragma once

#include "base/UserPrompt.h"
#include "link/RequestKind.h"
#include "views/ViewLinkTypes.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class CCommandListModel;
class CCorvaneBeeNode;
class CCorvaneODBC;
class CUartAffairInterface;
class QCheckBox;
class QDateTimeEdit;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QTimeEdit;

// The logging command tab: the loggers with their recording state and pending parameters, the
// panel to edit start time, interval and alarm limits of the selected logger (or of every
// checked one), and the buttons that send start recording, stop recording and write alarm to
// the checked loggers, or cancel a queued command. Applied parameters wait in the live records;
// the link reads them from the list model when it builds the frames.
//
// The owner wires it: "reload" to RefreshList, "node changed" to UpdateNode, live changes of
// the network table to the model.
class CFormviewCommand : public QWidget {
    Q_OBJECT
public:
    using Submitter = ViewSubmitter;
    using Canceller = ViewCanceller;

    // prompt: runs the confirmation dialogs and shows errors (nullptr: real dialogs and boxes).
    CFormviewCommand(CCorvaneBeeNode &table, CCorvaneODBC &database, Submitter submit, Canceller cancel,
                     IUserPrompt *prompt = nullptr, QWidget *parent = nullptr);
    ~CFormviewCommand() override;

    void SetClock(std::function<qint64()> clock) { m_clock = std::move(clock); }
    [[nodiscard]] CCommandListModel &Model() const { return *m_model; }
    [[nodiscard]] QTableView *List() const { return m_list; }
    [[nodiscard]] int SelectedNode() const { return m_selected; }
    // The four limits as the edits stand: channel-1 lower, upper, channel-2 lower, upper.
    [[nodiscard]] std::array<float, 4> Limits() const { return m_limits; }

public slots:
    void RefreshList();
    void UpdateNode(int id);
    void Apply();
    void ApplyToChecked();
    void StartRecording();
    void StopRecording();
    void SetAlarm();
    void CancelOperation();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum Limit { Ch1Lower, Ch1Upper, Ch2Lower, Ch2Upper };

    void BuildLayout();
    QWidget *BuildPanel();
    QWidget *BuildButtons();
    QPushButton *MakeButton(const char *objectName, int textId, bool enterClicks = false);
    void SelectionChanged();
    void FillPanel();
    void ClearPanel();
    void FillLimits();
    void AlarmChanged(bool checked);
    void LimitEdited(int which);
    // false (after the message) when the node refuses the panel's parameters.
    bool ApplyTo(int id);
    void SendToChecked(RequestKind kind);
    [[nodiscard]] std::vector<QStringList> CheckedCells(const std::vector<int> &columns) const;
    [[nodiscard]] int LastSelectedRow() const;
    [[nodiscard]] QString UnitOf(int which) const;

    CCorvaneBeeNode &m_table;
    CCorvaneODBC &m_database;
    Submitter m_submit;
    Canceller m_cancel;
    std::unique_ptr<IUserPrompt> m_ownPrompt;
    IUserPrompt *m_prompt;
    std::function<qint64()> m_clock;
    std::unique_ptr<CCommandListModel> m_model;
    int m_selected = -1;
    bool m_alarm = false;
    std::array<float, 4> m_limits{-2000.0f, -2000.0f, -2000.0f, -2000.0f};

    QTableView *m_list = nullptr;
    QLabel *m_name = nullptr;
    QLabel *m_type = nullptr;
    QLabel *m_address = nullptr;
    QLabel *m_state = nullptr;
    QDateTimeEdit *m_start = nullptr;
    QTimeEdit *m_interval = nullptr;
    QCheckBox *m_alarmBox = nullptr;
    std::array<QLineEdit *, 4> m_edits{};
    QLabel *m_quantity1 = nullptr;
    QLabel *m_quantity2 = nullptr;
};
