#include "views/core/MonitorTiles.h"

#include "base/NodeType.h"
#include "network/BeeNodeItem.h"
#include "network/CCorvaneBeeNode.h"
#include "views/core/CNodeListModel.h"

namespace MonitorTiles {

std::vector<Source> SourcesOf(const CNodeListModel &list)
{
    std::vector<Source> sources;
    for (int row = 0; row < list.rowCount(); ++row)
        sources.push_back({list.IdAt(row), list.EntryAt(row)->row.name});
    return sources;
}

std::optional<bool> NextEnabled(int page, int pageCount)
{
    if (page < pageCount)
        return true;
    if (page == pageCount)
        return false;
    return std::nullopt;
}

QString ReadingText(quint8 type, float value1, float value2, const QString &temperatureUnit,
                    const QString &fahrenheitText, const QString &humidityUnit)
{
    const bool fahrenheit = temperatureUnit == fahrenheitText;
    const auto temperature = [&](float v) {
        return QString::asprintf("%7.2f ", fahrenheit ? double(v) * 1.8 + 32 : double(v)) + temperatureUnit;
    };
    QString text;
    switch (NodeType::Class(type)) {
    case NodeType::SingleTemp:
        text = QLatin1Char('\n') + temperature(value1);
        break;
    case NodeType::DualTemp:
        text = temperature(value1) + QLatin1Char('\n') + temperature(value2);
        break;
    case NodeType::TempHumidity:
        text = temperature(value1) + QLatin1Char('\n') + QString::asprintf("%7.2f ", double(value2)) +
               humidityUnit;
        break;
    default:
        break;
    }
    return text + QStringLiteral("     ");
}

bool InAlarm(quint8 type, quint8 status, float value1, float value2, const Limits &limits)
{
    if ((status & 0x0C) != 4)
        return false;
    const bool ch1 = value1 > limits.ch1Upper || value1 < limits.ch1Lower;
    switch (NodeType::Class(type)) {
    case NodeType::SingleTemp:
        return ch1;
    case NodeType::DualTemp:
    case NodeType::TempHumidity:
        return ch1 || value2 > limits.ch2Upper || value2 < limits.ch2Lower;
    default:
        return false;
    }
}

Look AfterReachabilityCheck(Look current, const BeeNodeItem *node)
{
    const bool reachable = node && NodeType::IsLogger(node->type) && (node->status & 3) != 3;
    if (reachable)
        return current == Look::Unreachable ? Look::Normal : current;
    return Look::Unreachable;
}

Page::Page(CCorvaneBeeNode &table, std::vector<Source> sources, Units units)
    : m_table(table), m_sources(std::move(sources)), m_units(std::move(units)),
      m_count(PageCount(int(m_sources.size())))
{
    Fill();
}

void Page::Previous()
{
    --m_page;
    Fill();
}

void Page::Next()
{
    ++m_page;
    Fill();
}

void Page::Fill()
{
    const int first = (m_page - 1) * kPerPage;
    if (int(m_sources.size()) - first < 1)
        return;
    for (int k = 0; k < kPerPage; ++k) {
        Tile &tile = m_tiles[size_t(k)];
        const int row = first + k;
        if (row >= int(m_sources.size())) {
            tile.nodeId = 0;
            continue;
        }
        const Source &source = m_sources[size_t(row)];
        if (tile.nodeId != source.id) {
            tile.nodeId = source.id;
            tile.reading.clear();
            if (!TakeNewest(tile))
                tile.look = Look::Unreachable; // until the next check, as at creation
        }
        tile.title = source.name;
        tile.alarmSetting = quint8(m_table.GetStatus(source.id) & 0x0C);
        tile.limits = {m_table.GetCh1Lower(source.id), m_table.GetCh1Upper(source.id),
                       m_table.GetCh2Lower(source.id), m_table.GetCh2Upper(source.id)};
    }
}

bool Page::TakeNewest(Tile &tile)
{
    const int id = tile.nodeId;
    const int count = m_table.GetRtCount(id);
    if (count < 1)
        return false;
    const float value1 = m_table.GetRtCh1(id, count - 1);
    const float value2 = m_table.GetRtCh2(id, count - 1);
    const quint8 type = m_table.GetType(id);
    const quint8 status = m_table.GetStatus(id);
    tile.reading =
        ReadingText(type, value1, value2, m_units.temperature, m_units.fahrenheit, m_units.humidity);
    tile.limits = {m_table.GetCh1Lower(id), m_table.GetCh1Upper(id), m_table.GetCh2Lower(id),
                   m_table.GetCh2Upper(id)};
    tile.alarmSetting = quint8(status & 0x0C);
    tile.look = InAlarm(type, status, value1, value2, tile.limits) ? Look::Alarm : Look::Normal;
    return true;
}

int Page::OnSample(int nodeId)
{
    if (nodeId <= 0)
        return -1;
    for (int k = 0; k < kPerPage; ++k) {
        if (m_tiles[size_t(k)].nodeId == nodeId)
            return TakeNewest(m_tiles[size_t(k)]) ? k : -1;
    }
    return -1;
}

std::vector<int> Page::CheckReachability()
{
    std::vector<int> changed;
    for (int k = 0; k < kPerPage; ++k) {
        Tile &tile = m_tiles[size_t(k)];
        if (tile.nodeId == 0)
            continue;
        const Look look = AfterReachabilityCheck(tile.look, m_table.Find(tile.nodeId));
        if (look != tile.look) {
            tile.look = look;
            changed.push_back(k);
        }
    }
    return changed;
}

} // namespace MonitorTiles
