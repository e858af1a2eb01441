#include "views/core/CurvePlotState.h"

#include "base/NodeType.h"

#include <algorithm>

void CurvePlotState::SetChannelsByType(quint8 type)
{
    const quint8 cls = NodeType::Class(type);
    m_enabled[0] = cls == NodeType::SingleTemp || cls == NodeType::DualTemp || cls == NodeType::TempHumidity;
    m_enabled[1] = cls == NodeType::DualTemp || cls == NodeType::TempHumidity;
    m_shown = m_enabled;
}

bool CurvePlotState::SetChannelShown(int c, bool shown)
{
    m_shown[size_t(c)] = shown && m_enabled[size_t(c)];
    return m_shown[size_t(c)];
}

bool CurvePlotState::ZoomTo(int &zoom, int wanted, int sampleCount)
{
    zoom = std::max(1, std::min(wanted, sampleCount));
    return true;
}

bool CurvePlotState::ZoomIn(int sampleCount)
{
    return AnyShown() && ZoomTo(m_zoom, m_zoom * 2, sampleCount);
}

bool CurvePlotState::ZoomOut(int sampleCount)
{
    return AnyShown() && ZoomTo(m_zoom, m_zoom / 2, sampleCount);
}

bool CurvePlotState::SetFirst(int position)
{
    if (!AnyShown())
        return false;
    m_first = std::max(0, position);
    return true;
}

void CurvePlotState::ResetView()
{
    m_zoom = 1;
    m_first = 0;
    m_clickX = 0;
}

bool CurvePlotState::Click(const QPoint &pos, const CurveGeometry &g)
{
    if (pos.x() < g.left || pos.x() > g.width || pos.y() < 0 || pos.y() > g.height)
        return false;
    m_clickX = pos.x();
    return true;
}
