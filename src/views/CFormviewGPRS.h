#pragma once

#include "base/UserPrompt.h"
#include "link/RequestKind.h"
#include "views/core/GprsRules.h"

#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>
#include <memory>

class CCorvaneBeeNode;
class CCorvaneODBC;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QTableView;
class QToolButton;

// The GPRS tab: the ten alarm phone numbers (opened one at a time for typing), the loggers and
// the slots each is bound to, and the lock that writes both into the receiver. Only an
// administrator changes anything, and only while a receiver is known.
//
// The owner wires it: "reload" and the lock's end to Reload, "node changed" to UpdateNode,
// the logger list to RefreshLoggers.
class CFormviewGPRS final : public QWidget {
    Q_OBJECT
public:
    static constexpr int kApplyDelayMs = 100;

    // receiverId: the connected receiver's node id (below 1: none); submit queues a receiver-wide
    // link request (the lock) and returns 1 when queued; prompt: the lock question and the
    // refusals (nullptr: message boxes).
    CFormviewGPRS(CCorvaneBeeNode &table, CCorvaneODBC &database, std::function<int()> receiverId,
                  std::function<int(RequestKind kind)> submit, IUserPrompt *prompt = nullptr,
                  QWidget *parent = nullptr);
    ~CFormviewGPRS() override;

    void SetAdministrator(bool administrator);

    [[nodiscard]] QLineEdit *PhoneEdit(int slot) const { return m_phones[size_t(slot)]; }
    [[nodiscard]] QComboBox *SlotChoice() const { return m_slotChoice; }
    [[nodiscard]] QToolButton *OpenButton() const { return m_open; }
    [[nodiscard]] QPushButton *LockButton() const { return m_lock; }
    [[nodiscard]] QTableView *LoggerList() const { return m_loggerList; }
    [[nodiscard]] QTableView *BindingList() const { return m_bindingList; }
    [[nodiscard]] GprsLoggerModel &Loggers() const { return *m_loggers; }
    [[nodiscard]] GprsBindingModel &Bindings() const { return *m_bindings; }
    [[nodiscard]] bool ApplyPending() const { return m_applyTimer.isActive(); }

public slots:
    void Reload();
    void RefreshLoggers();
    void UpdateNode(int id);
    // Opens the slot named by the drop-down list for typing.
    void OpenSlot();
    void Lock();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void BuildLayout();
    QWidget *BuildPhoneGroup();
    QWidget *BuildBindingGroup();
    // A phone edit lost the focus or took Enter.
    void PhoneEntered(int slot);
    void SelectLogger();
    void ShowPanel(int loggerId);
    void ApplyPhoneMask();
    void UpdateLockButton();

    CCorvaneBeeNode &m_table;
    CCorvaneODBC &m_database;
    std::function<int()> m_receiverId;
    std::function<int(RequestKind)> m_submit;
    std::unique_ptr<IUserPrompt> m_ownPrompt;
    IUserPrompt *m_prompt;
    GprsBookEditor m_editor;
    std::unique_ptr<GprsLoggerModel> m_loggers;
    std::unique_ptr<GprsBindingModel> m_bindings;
    bool m_administrator = false;
    QTimer m_applyTimer;
    std::array<QLineEdit *, GprsBookEditor::kSlots> m_phones{};
    QComboBox *m_slotChoice = nullptr;
    QToolButton *m_open = nullptr;
    QTableView *m_loggerList = nullptr;
    QTableView *m_bindingList = nullptr;
    std::array<QLabel *, 3> m_panel{}; // name, type, extended address
    QPushButton *m_lock = nullptr;
};
