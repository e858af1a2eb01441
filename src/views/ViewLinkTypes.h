#pragma once

#include "link/RequestKind.h"

#include <QString>

#include <functional>

class CUartAffairInterface;

// How the node-list views reach the link without knowing it: the owner supplies these.
// Queues a link request for the node on a row of the source; 1 when queued.
using ViewSubmitter = std::function<int(CUartAffairInterface *source, RequestKind kind, int row)>;
// Removes a queued request of that kind for the node with that address; true when removed.
using ViewCanceller = std::function<bool(RequestKind kind, const QString &address)>;
