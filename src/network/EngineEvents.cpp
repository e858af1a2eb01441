#include "network/EngineEvents.h"

#include "link/CUartAffairLink.h"
#include "network/CCorvaneBeeNode.h"

namespace {

void ApplyCommandState(CCorvaneBeeNode &table, int nodeId, CommandField field, quint8 state)
{
    switch (field) {
    case CommandField::RealTime:
        table.SetRtCmdState(nodeId, state);
        emit table.Notifier().nodeChanged(nodeId, NodeAspect::RealTime);
        break;
    case CommandField::Logging:
        table.SetLogCmdState(nodeId, state);
        emit table.Notifier().nodeChanged(nodeId, NodeAspect::Logging);
        break;
    case CommandField::Download:
        table.SetDownloadCmdState(nodeId, state);
        emit table.Notifier().nodeChanged(nodeId, NodeAspect::Download);
        break;
    case CommandField::None:
        break;
    }
}

void ApplyNodeLost(CCorvaneBeeNode &table, int nodeId)
{
    table.SetStatus(nodeId, 0x0F);
    table.SetRtFlag(nodeId, 0);
    table.SetShortAddress(nodeId, -1);
    emit table.Notifier().nodeLost(nodeId);
}

} // namespace

void ConnectEngineToTable(CUartAffairLink &engine, CCorvaneBeeNode &table, QObject *context)
{
    QObject::connect(&engine, &CUartAffairLink::commandStateChanged, context,
                     [&table](int nodeId, RequestKind, CommandField field, quint8 state) {
                         ApplyCommandState(table, nodeId, field, state);
                     });
    // A scan starts from scratch: every node but the receiver is unreached again.
    QObject::connect(&engine, &CUartAffairLink::scanStarted, context, [&table] { (void)table.ResetLive(1); });
    QObject::connect(&engine, &CUartAffairLink::nodeLost, context,
                     [&table](int nodeId) { ApplyNodeLost(table, nodeId); });
    QObject::connect(&engine, &CUartAffairLink::gprsLockFinished, context,
                     [&table](bool ok) { emit table.Notifier().gprsLockFinished(ok); });
}
