#pragma once

#include "views/core/CurvePainter.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QSlider;

// The curve page shared by the real-time and history views: check boxes and unit labels of the
// two channels, legend swatches, the picture, the slider of the first sample shown, the zoom
// buttons and the cursor read-outs. The owner supplies the samples and the device type; the
// page keeps the operator's choices in its CurvePlotState.
class CurvePlotPage : public QWidget {
    Q_OBJECT
public:
    enum class Kind { RealTime, History };

    explicit CurvePlotPage(Kind kind, QWidget *parent = nullptr);
    ~CurvePlotPage() override;

    // Check boxes and unit labels by device type (present channels checked, absent ones
    // disabled); unit texts as the read-outs show them.
    void SetDevice(quint8 type, const QString &unit1, const QString &unit2);
    // The samples to draw; the arrays stay the caller's and must live while shown. The unit
    // texts of SetDevice replace those of the samples. Redraws, sets the slider range and the
    // read-outs.
    void SetSamples(const CurveSamples &samples);

    [[nodiscard]] CurvePlotState &State() { return m_state; }
    [[nodiscard]] const CurveFrame &Frame() const { return m_frame; }
    [[nodiscard]] const CurveSamples &Samples() const { return m_samples; }
    [[nodiscard]] QWidget *Picture() const;
    [[nodiscard]] QCheckBox *ChannelBox(int c) const { return m_boxes[size_t(c)]; }
    [[nodiscard]] QLineEdit *ReadOut(int c) const { return m_readOuts[size_t(c)]; }
    [[nodiscard]] QLabel *UnitLabel(int c) const { return m_units[size_t(c)]; }
    [[nodiscard]] QSlider *Slider() const { return m_slider; }
    [[nodiscard]] QPushButton *ZoomInButton() const { return m_zoomIn; }
    [[nodiscard]] QPushButton *ZoomOutButton() const { return m_zoomOut; }
    [[nodiscard]] QCheckBox *AutoScaleBox() const { return m_autoScale; }

    // Lays out and repaints the picture and refreshes the read-outs.
    void Redraw();

private:
    class PictureWidget;
    class SwatchWidget;

    void BuildControls(Kind kind);
    void OnPictureClicked(const QPoint &pos);
    void UpdateReadOuts();
    void SyncBoxes();
    void ApplyUnits();

    CurvePainter m_painter;
    CurvePlotState m_state;
    CurveSamples m_samples;
    CurveFrame m_frame;
    std::array<QString, CurveSamples::kChannels> m_unitTexts;
    PictureWidget *m_picture = nullptr;
    std::array<QCheckBox *, CurveSamples::kChannels> m_boxes{};
    std::array<QLabel *, CurveSamples::kChannels> m_units{};
    std::array<SwatchWidget *, CurveSamples::kChannels> m_swatches{};
    std::array<QLineEdit *, CurveSamples::kChannels> m_readOuts{};
    QSlider *m_slider = nullptr;
    QPushButton *m_zoomIn = nullptr;
    QPushButton *m_zoomOut = nullptr;
    QCheckBox *m_autoScale = nullptr;
};
