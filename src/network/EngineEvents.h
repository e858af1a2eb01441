#pragma once

class CCorvaneBeeNode;
class CUartAffairLink;
class QObject;

// Applies the transaction engine's events to the network table and announces them on the
// table's notifier: command progress codes, the reset at the start of a scan, nodes declared
// lost and the end of the GPRS lock. The connections live as long as context.
void ConnectEngineToTable(CUartAffairLink &engine, CCorvaneBeeNode &table, QObject *context);
