#pragma once

#include "views/core/CNodeListModel.h"

#include <QAbstractTableModel>
#include <QString>

#include <array>
#include <vector>

class CCorvaneBeeNode;
class CCorvaneODBC;

// The rules of the GPRS book shared by the GPRS tab and `corvane-cli gprs`: the ten alarm phone
// numbers kept in the receiver's node-table row, the loggers' bindings to them, and when a lock
// into the receiver is worth offering.
class GprsBookEditor {
public:
    static constexpr int kSlots = 10;
    static constexpr int kMaxDigits = 15;
    static constexpr int kDuplicateText = 475; // 手机号已存在。

    enum class PhoneEntry {
        Unchanged, // the book already held this (the same number in its own slot, or empty)
        Changed,   // stored in the book and the receiver's row: the masks are to be applied
        Duplicate, // the number stands in another slot: refused
        Invalid,   // not 0 to 15 digits: refused
    };

    GprsBookEditor(CCorvaneBeeNode &table, CCorvaneODBC &database);

    // The receiver's node id; below 1 while no receiver is known (nothing can be edited).
    void SetReceiverId(int id) { m_receiverId = id; }
    [[nodiscard]] int ReceiverId() const { return m_receiverId; }
    [[nodiscard]] bool ReceiverKnown() const { return m_receiverId >= 1; }
    // The receiver of the node table (its first row of the receiver type), -1 when none.
    [[nodiscard]] static int ReceiverInDatabase(CCorvaneODBC &database);

    // Empties the book and fills it from the receiver's row; the numbers of the ten slots.
    std::array<QString, kSlots> LoadPhoneBook();
    [[nodiscard]] QString PhoneText(int slot) const;

    // A number typed into a slot (0..9), without surrounding blanks; duplicateSlot gets the slot
    // that already holds it.
    PhoneEntry EnterPhone(int slot, const QString &typed, int *duplicateSlot = nullptr);

    // Binds the logger to a slot or unbinds it; a slot without a number cannot be bound. Returns
    // the logger's stored mask.
    quint32 SetBinding(int loggerId, int slot, bool bound);

    // The lock is worth offering when the book differs from the receiver's or a logger has no
    // entry in the receiver yet.
    [[nodiscard]] bool LockWanted() const;

    // Writes each logger's bindings into its own row: column k holds "OK" when bound to slot k.
    [[nodiscard]] bool WriteBindings(const std::vector<int> &loggerIds);

    // The text of the duplicate refusal: 475, a line break and the number.
    [[nodiscard]] static QString DuplicateText(const QString &number);

private:
    [[nodiscard]] bool WriteReceiverColumn(int slot, const QString &text);

    CCorvaneBeeNode &m_table;
    CCorvaneODBC &m_database;
    int m_receiverId = -1;
};

// The GPRS tab's logger list: loggers of both tables in tree order, the running number, the name
// and the hidden id; no check boxes. Reading a row gives the logger its alarm limits and the GPRS
// form of its name, which the lock sends to the receiver.
class GprsLoggerModel : public CNodeListModel {
    Q_OBJECT
public:
    enum Column { ColNumber, ColName, ColId, ColumnTotal };
    using CNodeListModel::CNodeListModel;

    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex &index) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

protected:
    [[nodiscard]] int ColumnCount() const override { return ColumnTotal; }
    [[nodiscard]] QString HeaderText(int column) const override;
    [[nodiscard]] QVariant CellData(const Entry &entry, const BeeNodeItem &live, int column,
                                    int role) const override;
    [[nodiscard]] bool Lists(const NodeRow &row, const BeeNodeItem &live) const override;
    void RowRead(const NodeRow &row) override;
};

// The ten phone slots of the selected logger: check box = bound, "@" column the slot number,
// then the number. Checking goes through the editor's rules; only an administrator may change a
// binding, and only while a receiver is known and the list is filled.
class GprsBindingModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColSlot, ColPhone, ColumnTotal };

    GprsBindingModel(GprsBookEditor &editor, CCorvaneBeeNode &table, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] bool setData(const QModelIndex &index, const QVariant &value, int role) override;
    [[nodiscard]] Qt::ItemFlags flags(const QModelIndex &index) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    void SetAdministrator(bool administrator) { m_administrator = administrator; }
    // Shows the slots of that logger (-1: none, the list is empty).
    void SetLogger(int loggerId);
    [[nodiscard]] int Logger() const { return m_logger; }
    // Every slot's check box toggled as the header of column 0 does (opposite of row 0).
    void ToggleAll();
    // Repaints one slot row (-1: all) after the book changed.
    void Refresh(int slot = -1);

signals:
    // A binding was stored: the owner applies the phone mask shortly after.
    void bindingChanged();

private:
    GprsBookEditor &m_editor;
    CCorvaneBeeNode &m_table;
    int m_logger = -1;
    bool m_administrator = false;
};
