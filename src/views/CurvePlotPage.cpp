#include "views/CurvePlotPage.h"

#include "base/AppSettings.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "views/core/CurveTexts.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include <algorithm>
#include <functional>

// The picture: painted straight from the page's last frame (Qt double-buffers, so nothing
// flickers); a left click goes to the page.
class CurvePlotPage::PictureWidget : public QWidget {
public:
    PictureWidget(CurvePlotPage &page, QWidget *parent) : QWidget(parent), m_page(page)
    {
        setFixedSize(page.m_painter.Base().Size());
        setAccessibleName(LoadStr(Sid::CurvePicture));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        m_page.m_painter.Paint(p, rect(), m_page.m_frame, m_page.m_samples, m_page.m_state);
    }
    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            m_page.OnPictureClicked(event->position().toPoint());
    }

private:
    CurvePlotPage &m_page;
};

// A 10 x 10 legend swatch in the channel colour while the channel is shown.
class CurvePlotPage::SwatchWidget : public QWidget {
public:
    SwatchWidget(std::function<bool()> shown, int channel, QWidget *parent)
        : QWidget(parent), m_shown(std::move(shown)), m_channel(channel)
    {
        setFixedSize(10, 10);
        setAccessibleName(LoadStr(channel == 0 ? Sid::CurveSwatch1 : Sid::CurveSwatch2));
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter p(this);
        p.setBackground(palette().window());
        CurvePainter::PaintSwatch(p, rect(), m_channel, m_shown());
    }

private:
    std::function<bool()> m_shown;
    int m_channel;
};

CurvePlotPage::CurvePlotPage(Kind kind, QWidget *parent)
    : QWidget(parent),
      m_painter(kind == Kind::RealTime ? CurveGeometry::RealTime() : CurveGeometry::History())
{
    BuildControls(kind);
    Redraw();
}

CurvePlotPage::~CurvePlotPage() = default;

QWidget *CurvePlotPage::Picture() const
{
    return m_picture;
}

void CurvePlotPage::BuildControls(Kind kind)
{
    auto *top = new QGridLayout;
    for (int c = 0; c < CurveSamples::kChannels; ++c) {
        m_boxes[size_t(c)] = new QCheckBox(CurveTexts::ChannelBoxText(c), this);
        m_swatches[size_t(c)] = new SwatchWidget([this, c] { return m_state.ChannelShown(c); }, c, this);
        m_units[size_t(c)] = new QLabel(this);
        top->addWidget(m_swatches[size_t(c)], c, 0);
        top->addWidget(m_boxes[size_t(c)], c, 1);
        top->addWidget(m_units[size_t(c)], c, 2);
        connect(m_boxes[size_t(c)], &QCheckBox::toggled, this, [this, c](bool on) {
            m_state.SetChannelShown(c, on);
            m_swatches[size_t(c)]->update();
            Redraw();
        });
    }
    const bool history = kind == Kind::History;
    m_zoomIn = new QPushButton(LoadStr(history ? Sid::CurveZoomInHistory : Sid::CurveZoomIn), this);
    m_zoomOut = new QPushButton(LoadStr(history ? Sid::CurveZoomOutHistory : Sid::CurveZoomOut), this);
    top->addWidget(m_zoomIn, 0, 3);
    top->addWidget(m_zoomOut, 1, 3);
    if (history) {
        m_autoScale = new QCheckBox(LoadStr(Sid::CurveAutoScale), this);
        top->addWidget(m_autoScale, 0, 4);
        connect(m_autoScale, &QCheckBox::toggled, this, [this](bool on) {
            m_state.autoScale = on;
            Redraw();
        });
    }
    connect(m_zoomIn, &QPushButton::clicked, this, [this] {
        if (m_state.ZoomIn(m_samples.count))
            Redraw();
    });
    connect(m_zoomOut, &QPushButton::clicked, this, [this] {
        if (m_state.ZoomOut(m_samples.count))
            Redraw();
    });
    m_picture = new PictureWidget(*this, this);
    m_slider = new QSlider(Qt::Horizontal, this);
    m_slider->setAccessibleName(LoadStr(Sid::CurveSlider));
    connect(m_slider, &QSlider::valueChanged, this, [this](int v) {
        if (m_state.SetFirst(v))
            Redraw();
    });
    auto *readOuts = new QHBoxLayout;
    for (int c = 0; c < CurveSamples::kChannels; ++c) {
        m_readOuts[size_t(c)] = new QLineEdit(this);
        m_readOuts[size_t(c)]->setReadOnly(true);
        m_readOuts[size_t(c)]->setAccessibleName(LoadStr(c == 0 ? Sid::CurveReadOut1 : Sid::CurveReadOut2));
        readOuts->addWidget(m_readOuts[size_t(c)]);
    }
    auto *column = new QVBoxLayout(this);
    column->addLayout(top);
    column->addWidget(m_picture);
    column->addWidget(m_slider);
    column->addLayout(readOuts);
    column->addStretch();
    SyncBoxes();
}

void CurvePlotPage::SetDevice(quint8 type, const QString &unit1, const QString &unit2)
{
    m_state.SetChannelsByType(type);
    m_unitTexts = {unit1, unit2};
    ApplyUnits();
    m_units[0]->setText(CurveTexts::UnitLabel(0, type, unit1));
    m_units[1]->setText(CurveTexts::UnitLabel(1, type, unit2));
    SyncBoxes();
    Redraw();
}

void CurvePlotPage::SetSamples(const CurveSamples &samples)
{
    m_samples = samples;
    ApplyUnits();
    const QSignalBlocker block(m_slider);
    m_slider->setRange(0, std::max(0, samples.count - 1));
    Redraw();
}

void CurvePlotPage::ApplyUnits()
{
    for (int c = 0; c < CurveSamples::kChannels; ++c) {
        m_samples.channel[size_t(c)].unit = m_unitTexts[size_t(c)];
        m_samples.channel[size_t(c)].fahrenheit =
            m_unitTexts[size_t(c)] == AppSettings::Instance().FahrenheitText();
    }
}

void CurvePlotPage::SyncBoxes()
{
    for (int c = 0; c < CurveSamples::kChannels; ++c) {
        const QSignalBlocker block(m_boxes[size_t(c)]);
        m_boxes[size_t(c)]->setEnabled(m_state.ChannelEnabled(c));
        m_boxes[size_t(c)]->setChecked(m_state.ChannelShown(c));
        m_swatches[size_t(c)]->update();
    }
}

void CurvePlotPage::Redraw()
{
    m_frame = m_painter.Layout(m_picture->size(), m_samples, m_state);
    m_picture->update();
    UpdateReadOuts();
}

void CurvePlotPage::OnPictureClicked(const QPoint &pos)
{
    if (m_state.Click(pos, m_frame.geometry) && m_state.AnyShown())
        Redraw();
}

void CurvePlotPage::UpdateReadOuts()
{
    for (int c = 0; c < CurveSamples::kChannels; ++c)
        m_readOuts[size_t(c)]->setText(CurveTexts::ReadOut(c, m_samples, m_frame, m_state));
}
