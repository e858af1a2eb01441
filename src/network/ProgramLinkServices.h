#pragma once

#include "link/LinkServices.h"

#include <memory>

class CCorvaneBeeNode;
class CCorvaneODBC;

// The live-network half of the engine's services, over a network table; the database and
// message-log half is left to derived classes (the program's below, fakes in tests).
class TableLinkServices : public LinkServices, public GprsBook {
public:
    explicit TableLinkServices(CCorvaneBeeNode &table) : m_table(table) {}

    [[nodiscard]] qint32 ShortAddress(int nodeId) override;
    [[nodiscard]] int CountUnreached() override;
    [[nodiscard]] bool RealTimeOverdue(int nodeId) override;
    [[nodiscard]] QString ChannelUnit(int nodeId, int channel) override;
    [[nodiscard]] GprsBook &Gprs() override { return *this; }

    [[nodiscard]] quint32 PhoneMask() const override;
    void SetPhoneListState(qint32 state) override;
    [[nodiscard]] bool SamePhone(int slot, const PhoneDigits &digits) const override;
    [[nodiscard]] PhoneDigits Phone(int slot) const override;
    [[nodiscard]] int CountLoggers() override;
    [[nodiscard]] int AssignGprsSlots() override;
    [[nodiscard]] int FirstLoggerWithoutSlot() override;
    [[nodiscard]] GprsName GprsNameOf(int nodeId) const override;
    [[nodiscard]] quint32 BindMaskOf(int nodeId) const override;
    void SetLoggerEntry(int nodeId, quint32 bindMask, const GprsName &name) override;
    void SetGprsSlot(int nodeId, qint32 slot) override;

protected:
    CCorvaneBeeNode &m_table;
};

// The engine's services in the running program: the given network table, the node table and
// history tables of the database, and the new-messages store.
[[nodiscard]] std::unique_ptr<LinkServices> MakeProgramLinkServices(CCorvaneBeeNode &table,
                                                                    CCorvaneODBC &database);
