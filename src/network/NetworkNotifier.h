#pragma once

#include "base/MessageKind.h"

#include <QObject>
#include <QString>

// Which part of a node's live state changed.
enum class NodeAspect {
    Link,     // reachability, status, faults, signal, battery, short address
    RealTime, // real-time reporting state or its command progress
    Logging,  // recording parameters, alarm limits or their command progress
    Download, // download progress
};

// The domain events of the network layer: what happened to the network, its nodes and the
// receiver link. The network table owns the one instance (CCorvaneBeeNode::Notifier()); the
// link session, the link event handling and the table itself announce through it, and the user
// interface and the command-line monitor listen. Nothing here names a view.
class NetworkNotifier : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

signals:
    // --- The network table (emitted by the table itself).
    void nodeAdded(int nodeId);
    void nodeRemoved(int nodeId);
    // A field of the node's live record changed value.
    void nodeFieldsChanged(int nodeId);
    // The receiver's phone book (numbers, mask or its check state) changed.
    void phoneBookChanged();

    // --- Events of the network.
    void nodeChanged(int nodeId, NodeAspect aspect);
    // A logger stopped answering: its overdue real-time read timed out.
    void nodeLost(int nodeId);
    // A router was silent too long (routers send no reports of their own).
    void routerLost(int nodeId);
    // Every node's live state changed at once (a scan started, the link was lost, a router was
    // added).
    void allNodesChanged();
    // Parents or types of node rows changed: trees are to be rebuilt.
    void topologyChanged();
    // A real-time sample of the node was added to its ring.
    void newSample(int nodeId);
    // The receiver's GPRS book or the loggers' GPRS entries may have changed.
    void gprsChanged();
    // The GPRS lock ended: ok false when it timed out.
    void gprsLockFinished(bool ok);

    // --- The receiver link.
    void connectionChanged(const QString &text, bool connected);
    void linkLost();
    // The probe tried every port and no receiver answered.
    void receiverNotFound();
    // A port could not be opened for lack of permission: the message names it and the fix.
    // Announced once per port in the life of the session.
    void portDenied(const QString &location, const QString &message);
    // The transaction's status text or progress (0..110) changed.
    void statusChanged(const QString &statusText, int progress);
    // A message was logged: the kind and text of the newest entry; nodeLost when a node was
    // declared lost (the alarm frame is due).
    void messageLogged(MessageKind kind, const QString &text, bool nodeLost);
};

Q_DECLARE_METATYPE(NodeAspect)
Q_DECLARE_METATYPE(MessageKind)
