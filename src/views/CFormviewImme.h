#pragma once

#include "base/UserPrompt.h"
#include "link/RequestKind.h"
#include "views/ViewLinkTypes.h"

#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class CImmeCurve;
class CImmeListModel;
class CImmeText;
class CCorvaneBeeNode;
class CCorvaneODBC;
class CUartAffairInterface;
class QLabel;
class QTabWidget;
class QTableView;

// The real-time data tab: the loggers with their newest sample, real-time interval and command
// progress; the information panel and the curve and text pages of the logger shown; the buttons
// that start and stop real-time reporting on the checked loggers, change the interval of the
// selected one (or of every checked one), fetch one sample or cancel a queued command. It has
// no timer of its own.
//
// The owner wires it: "reload" to RefreshList; "node changed" and the network table's
// new-sample notice to UpdateNode, which redraws the logger shown at once.
class CFormviewImme : public QWidget {
    Q_OBJECT
public:
    using Submitter = ViewSubmitter;
    using Canceller = ViewCanceller;

    // prompt: runs the dialogs (nullptr: real dialogs).
    CFormviewImme(CCorvaneBeeNode &table, CCorvaneODBC &database, Submitter submit, Canceller cancel,
                  IUserPrompt *prompt = nullptr, QWidget *parent = nullptr);
    ~CFormviewImme() override;

    [[nodiscard]] CImmeListModel &Model() const { return *m_model; }
    [[nodiscard]] QTableView *List() const { return m_list; }
    [[nodiscard]] CImmeCurve *Curve() const { return m_curve; }
    [[nodiscard]] CImmeText *TextPage() const { return m_text; }
    [[nodiscard]] QTabWidget *Pages() const { return m_pages; }
    // The logger shown in the panel and the pages; -1 for none.
    [[nodiscard]] int Shown() const { return m_shown; }
    // The panel's value texts: name, type, interval, address, first and last sample time.
    [[nodiscard]] QStringList PanelTexts() const;

public slots:
    void RefreshList();
    void UpdateNode(int id);
    void ShowNode(int id);
    void StartRealTime();
    void StopRealTime();
    void ChangeInterval();
    void FetchOne();
    void CancelOperation();

protected:
    void keyPressEvent(QKeyEvent *event) override;

private:
    enum PanelField { Name, Type, Interval, Address, First, Last, PanelFieldCount };

    void BuildLayout();
    QWidget *BuildPanel();
    QWidget *BuildButtons();
    void ApplyInterval(int selectedRow, qint64 interval, int mode);
    void Submit(int row, RequestKind kind, quint8 queuedState);
    [[nodiscard]] std::vector<QStringList> CheckedCells() const;
    [[nodiscard]] int LastSelectedRow() const;

    CCorvaneBeeNode &m_table;
    CCorvaneODBC &m_database;
    Submitter m_submit;
    Canceller m_cancel;
    std::unique_ptr<IUserPrompt> m_ownPrompt;
    IUserPrompt *m_prompt;
    std::unique_ptr<CImmeListModel> m_model;
    int m_shown = -1;

    QTableView *m_list = nullptr;
    std::array<QLabel *, PanelFieldCount> m_panel{};
    QTabWidget *m_pages = nullptr;
    CImmeCurve *m_curve = nullptr;
    CImmeText *m_text = nullptr;
};
