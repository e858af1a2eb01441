#pragma once

#include "base/UserPrompt.h"
#include "history/core/PrintPreviewState.h"
#include "history/core/ReportPages.h"

#include <QDialog>
#include <QImage>

#include <functional>

class CNodeDataSave;
class QLabel;
class QLineEdit;
class QPrinter;
class QPushButton;
class QRadioButton;
class QScrollBar;
class QToolButton;

// The page picture in the preview frame: curve pages whole (shrunk only when the frame is
// smaller), text pages three quarters of the frame wide, centred, from the scroll offset.
class PrintPreviewFrame : public QWidget {
    Q_OBJECT
public:
    explicit PrintPreviewFrame(QWidget *parent = nullptr);
    void SetPage(const QImage &page, ReportPages::Mode mode, int scroll);

signals:
    void wheelTurned(int notches);

protected:
    void paintEvent(QPaintEvent *event) override;
    void wheelEvent(QWheelEvent *event) override;

private:
    QImage m_page;
    ReportPages::Mode m_mode = ReportPages::Mode::Curve;
    int m_scroll = 0;
    int m_wheelAngle = 0; // eighths of a degree not yet a whole notch
};

// "打印预览": the loaded range laid out as curve or text pages, one page shown at a time,
// printed through the print dialog or written to a PDF file.
class CCorvPrintDlg : public QDialog {
    Q_OBJECT
public:
    // Chooses the PDF file to write, starting in a folder; empty when cancelled.
    using PdfChooser = std::function<QString(QWidget *parent, const QString &folder)>;

    CCorvPrintDlg(const CNodeDataSave &store, IUserPrompt &prompt, QWidget *parent = nullptr);

    void SetPdfChooser(PdfChooser chooser) { m_choosePdf = std::move(chooser); }
    [[nodiscard]] const PrintPreviewState &State() const { return m_state; }
    [[nodiscard]] const QImage &PageImage() const { return m_image; }
    // Prints every page of the current mode on a printer already set up.
    void PrintTo(QPrinter &printer) const;

public slots:
    void Preview();
    void Print();
    void ExportPdf();

private:
    void BuildLayout();
    QWidget *BuildCountRow();
    QWidget *BuildPageRow();
    QWidget *BuildCommandRow();
    void PageCountEdited(const QString &text);
    void StepPageCount(int delta);
    void ChooseMode(ReportPages::Mode mode);
    void Turn(void (PrintPreviewState::*action)());
    // Lays out the current page into the preview and updates every enable state.
    void ShowPage();
    void SetCommandsEnabled(bool on);

    const CNodeDataSave &m_store;
    IUserPrompt &m_prompt;
    ReportPages::Report m_report;
    PrintPreviewState m_state;
    PdfChooser m_choosePdf;
    QImage m_image;
    QLineEdit *m_count = nullptr;
    QToolButton *m_up = nullptr;
    QToolButton *m_down = nullptr;
    QPushButton *m_preview = nullptr;
    QRadioButton *m_curveMode = nullptr;
    QRadioButton *m_textMode = nullptr;
    QPushButton *m_pages[4] = {};
    QLabel *m_indicator = nullptr;
    PrintPreviewFrame *m_frame = nullptr;
    QScrollBar *m_vertical = nullptr;
    QPushButton *m_print = nullptr;
    QPushButton *m_pdf = nullptr;
    QPushButton *m_exit = nullptr;
};
