#pragma once

#include <QJsonObject>

class CCorvaneODBC;

namespace cli {

// The newest stored history record of a node after a download: record id, start, end,
// interval, samples, and whether the download completed (its final state is 16). Without a
// stored record the record fields are absent.
[[nodiscard]] QJsonObject StoredRecordJson(CCorvaneODBC &db, int nodeId, quint8 downloadState);

} // namespace cli
