// The two GPRS transactions of the engine: the receiver self-check reads the phone book and the
// logger entries back and compares them with the GPRS book; the lock writes them and checks every
// echo.
#include "link/CUartAffairLink.h"
#include "link/LinkLog.h"

#include <algorithm>

using namespace FrameCodec;

void CUartAffairLink::RunGprsFlow(AffairRequest &head, const AffairReply &reply)
{
    if (head.kind == RequestKind::SelfCheck)
        RunSelfCheck(head, reply);
    else
        RunLock(head, reply);
}

namespace {

PhoneDigits ToDigits(const std::array<quint8, 16> &bytes)
{
    PhoneDigits d{};
    for (size_t i = 0; i < d.size(); ++i)
        d[i] = char(bytes[i]);
    return d;
}

std::array<quint8, 16> FromDigits(const PhoneDigits &digits)
{
    std::array<quint8, 16> b{};
    for (size_t i = 0; i < b.size(); ++i)
        b[i] = quint8(digits[i]);
    return b;
}

} // namespace

// Receiver self-check: reads the phone book and the logger entries back and compares them.
void CUartAffairLink::RunSelfCheck(AffairRequest &head, const AffairReply &r)
{
    // Each step takes only the answer of its own command.
    if (r.type != head.step)
        return;
    if (head.step == Command::MGQ || head.step == Command::MGN)
        CheckPhoneBook(head, r);
    else
        ReadLoggerEntries(head, r);
}

void CUartAffairLink::CheckPhoneBook(AffairRequest &head, const AffairReply &r)
{
    GprsBook &book = Services().Gprs();
    if (head.step == Command::MGQ) {
        const bool sameSlots = quint32(r.phoneSlotMask) == book.PhoneMask();
        book.SetPhoneListState(sameSlots ? 1 : 0);
        head.phoneSlotIndex = 0;
        head.BeginStep(sameSlots ? Command::MGN : Command::MEQ);
        return;
    }
    if (r.phoneSlotIndex != head.phoneSlotIndex)
        return;
    if (!book.SamePhone(head.phoneSlotIndex, ToDigits(r.phoneNumber)))
        book.SetPhoneListState(0);
    ++head.phoneSlotIndex;
    head.BeginStep(head.phoneSlotIndex < GprsBook::kPhoneSlots ? Command::MGN : Command::MEQ);
}

void CUartAffairLink::ReadLoggerEntries(AffairRequest &head, const AffairReply &r)
{
    AffairReply &res = *head.result;
    if (head.step == Command::MEQ) {
        head.gprsLoggerCount = std::min(Services().Gprs().CountLoggers(), r.gprsLoggerCount);
        head.gprsIndex = 0;
    } else if (r.gprsIndex != head.gprsIndex) {
        return;
    }
    switch (head.step) {
    case Command::MEI:
        res.gprsIndex = r.gprsIndex;
        res.gprsLoggerAddress = r.gprsLoggerAddress;
        head.BeginStep(Command::MEN);
        return;
    case Command::MEN:
        res.gprsInfo = r.gprsInfo;
        head.BeginStep(Command::MBN);
        return;
    case Command::MBN:
        res.gprsBindMask = r.gprsBindMask;
        KeepLoggerEntry(head.gprsIndex, res);
        ++head.gprsIndex;
        break;
    default:
        break;
    }
    if (head.gprsIndex < head.gprsLoggerCount) {
        head.BeginStep(Command::MEI);
    } else {
        res.type = Command::SelfCheckResult;
        head.phase = AffairRequest::kPhaseFinished;
    }
}

void CUartAffairLink::KeepLoggerEntry(int slot, const AffairReply &entry)
{
    const int id = Services().FindNode(AddressToText(entry.gprsLoggerAddress)).id;
    if (id < 0)
        return;
    GprsBook &book = Services().Gprs();
    book.SetLoggerEntry(id, quint32(entry.gprsBindMask), entry.gprsInfo);
    book.SetGprsSlot(id, slot);
}

bool CUartAffairLink::LoadNextLoggerToWrite(AffairRequest &head)
{
    GprsBook &book = Services().Gprs();
    const int slot = book.AssignGprsSlots();
    const int id = book.FirstLoggerWithoutSlot();
    if (slot < 0 || id < 0)
        return false;
    const auto address = AddressFromText(Services().NodeAddress(id));
    if (!address) {
        qCWarning(lcLink) << "logger" << id << "has no extended address; GPRS lock ends";
        return false;
    }
    head.gprsIndex = slot;
    head.gprsLoggerAddress = *address;
    head.gprsInfo = book.GprsNameOf(id);
    head.gprsBindMask = qint32(book.BindMaskOf(id));
    return true;
}

// GPRS lock: writes the phone book and the logger entries and checks every echo.
namespace {

// The receiver's read-back confirms what the lock's current logger step wrote.
bool ConfirmsLoggerStep(const AffairRequest &head, const AffairReply &r)
{
    switch (head.step) {
    case Command::MDQ:
        return r.type == Command::MEQ && r.gprsLoggerCount == head.gprsLoggerCount;
    case Command::MDI:
        return r.type == Command::MEI && r.gprsIndex == head.gprsIndex &&
               r.gprsLoggerAddress == head.gprsLoggerAddress;
    case Command::MDN:
        return r.type == Command::MEN && r.gprsIndex == head.gprsIndex && r.gprsInfo == head.gprsInfo;
    case Command::MAN:
        return r.type == Command::MBN && r.gprsIndex == head.gprsIndex && r.gprsBindMask == head.gprsBindMask;
    default:
        return false;
    }
}

} // namespace

void CUartAffairLink::RunLock(AffairRequest &head, const AffairReply &r)
{
    if (head.step == Command::MSQ || head.step == Command::MSN)
        LockPhoneBook(head, r);
    else if (ConfirmsLoggerStep(head, r))
        LockLoggerEntries(head);
}

void CUartAffairLink::LockPhoneBook(AffairRequest &head, const AffairReply &r)
{
    GprsBook &book = Services().Gprs();
    if (head.step == Command::MSQ) {
        if (r.type != Command::MGQ || r.phoneSlotMask != head.phoneSlotMask)
            return;
        head.phoneSlotIndex = 0;
    } else {
        if (r.type != Command::MGN || r.phoneSlotIndex != head.phoneSlotIndex ||
            !book.SamePhone(head.phoneSlotIndex, ToDigits(r.phoneNumber)))
            return;
        ++head.phoneSlotIndex;
    }
    if (head.phoneSlotIndex < GprsBook::kPhoneSlots) {
        head.phoneNumber = FromDigits(book.Phone(head.phoneSlotIndex));
        head.BeginStep(Command::MSN);
    } else {
        head.gprsLoggerCount = book.CountLoggers();
        head.BeginStep(Command::MDQ);
    }
}

void CUartAffairLink::LockLoggerEntries(AffairRequest &head)
{
    bool more = true;
    switch (head.step) {
    case Command::MDI:
        head.BeginStep(Command::MDN);
        return;
    case Command::MDN:
        head.BeginStep(Command::MAN);
        return;
    case Command::MAN: {
        // A logger no longer in the network table ends the lock.
        const int id = Services().FindNode(AddressToText(head.gprsLoggerAddress)).id;
        if (id >= 0)
            Services().Gprs().SetGprsSlot(id, head.gprsIndex);
        more = id >= 0;
        break;
    }
    default:
        break;
    }
    if (more && LoadNextLoggerToWrite(head)) {
        head.BeginStep(Command::MDI);
    } else {
        head.result->type = Command::GprsLockResult;
        head.phase = AffairRequest::kPhaseFinished;
    }
}
