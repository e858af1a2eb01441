#include "history/CHistoryCurve.h"

#include "history/core/HistoryTexts.h"
#include "storage/CNodeDataSave.h"
#include "views/CurvePlotPage.h"
#include "views/core/CurveSamples.h"

#include <QSlider>
#include <QVBoxLayout>

CHistoryCurve::CHistoryCurve(const CNodeDataSave &store, QWidget *parent) : QWidget(parent), m_store(store)
{
    m_page = new CurvePlotPage(CurvePlotPage::Kind::History, this);
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_page);
}

void CHistoryCurve::Refresh()
{
    const HistoryTexts::ChannelUnits units = HistoryTexts::UnitsOf(m_store.deviceType);
    m_page->State().ResetView();
    {
        // The slider follows the reset view without moving it again.
        const QSignalBlocker block(m_page->Slider());
        m_page->Slider()->setValue(0);
    }
    m_page->SetDevice(m_store.deviceType, units.ch1, units.ch2);
    m_page->SetSamples(CurveSamples::FromDataSet(m_store));
}
