#include "history/CCorvPrintDlg.h"

#include "base/StringIds.h"
#include "base/StringTable.h"
#include "history/HistoryLog.h"
#include "history/core/HistoryViewRules.h"
#include "storage/CCorvFile.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>

using ReportPages::Mode;

namespace {

QString DialogPdf(QWidget *parent, const QString &folder)
{
    return QFileDialog::getSaveFileName(parent, LoadStr(Sid::PrintExportPdf), folder,
                                        LoadStr(Sid::PrintPdfFilter));
}

QPushButton *Button(QWidget *parent, const char *name, const QString &text)
{
    auto *button = new QPushButton(text, parent);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

PrintPreviewFrame::PrintPreviewFrame(QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("frame1208"));
    setAccessibleName(LoadStr(Sid::PrintPreviewArea));
    setMinimumSize(890, 570);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Dark);
}

void PrintPreviewFrame::SetPage(const QImage &page, Mode mode, int scroll)
{
    m_page = page;
    m_mode = mode;
    m_scroll = scroll;
    update();
}

void PrintPreviewFrame::paintEvent(QPaintEvent *)
{
    if (m_page.isNull())
        return;
    QPainter p(this);
    p.setRenderHint(QPainter::SmoothPixmapTransform);
    if (m_mode == Mode::Curve) {
        const QSize shown = m_page.size().boundedTo(size()) == m_page.size()
                                ? m_page.size()
                                : m_page.size().scaled(size(), Qt::KeepAspectRatio);
        p.drawImage(QRect(QPoint(0, 0), shown), m_page);
        return;
    }
    const int width = this->width() * 3 / 4;
    const double factor = double(width) / m_page.width();
    const QRect target((this->width() - width) / 2, 0, width, height());
    p.drawImage(target, m_page, QRectF(0, m_scroll, m_page.width(), height() / factor));
}

void PrintPreviewFrame::wheelEvent(QWheelEvent *event)
{
    m_wheelAngle += event->angleDelta().y();
    const int notches = m_wheelAngle / 120;
    m_wheelAngle -= notches * 120;
    if (notches != 0)
        emit wheelTurned(notches);
    event->accept();
}

CCorvPrintDlg::CCorvPrintDlg(const CNodeDataSave &store, IUserPrompt &prompt, QWidget *parent)
    : QDialog(parent), m_store(store), m_prompt(prompt), m_report(store), m_state(m_report.Samples()),
      m_choosePdf(&DialogPdf)
{
    setObjectName(QStringLiteral("CCorvPrintDlg"));
    setWindowTitle(LoadStr(Sid::PrintTitle));
    BuildLayout();
    m_state.SetPageHeight(ReportPages::Geometry(logicalDpiX(), logicalDpiY()).PageSize(Mode::Text).height());
    if (m_state.HasData())
        ShowPage();
    else
        SetCommandsEnabled(true);
}

void CCorvPrintDlg::BuildLayout()
{
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(BuildCountRow());
    auto *middle = new QHBoxLayout;
    m_frame = new PrintPreviewFrame(this);
    m_vertical = new QScrollBar(Qt::Vertical, this);
    m_vertical->setObjectName(QStringLiteral("scroll1069"));
    m_vertical->setSingleStep(1);
    m_vertical->setPageStep(PrintPreviewState::kWheelStep);
    m_vertical->hide();
    middle->addWidget(m_frame, 1);
    middle->addWidget(m_vertical);
    layout->addLayout(middle, 1);
    layout->addWidget(BuildPageRow());
    layout->addWidget(BuildCommandRow());
    connect(m_frame, &PrintPreviewFrame::wheelTurned, this, [this](int notches) {
        m_state.Wheel(notches);
        ShowPage();
    });
    connect(m_vertical, &QScrollBar::valueChanged, this, [this](int value) {
        if (value == m_state.Scroll())
            return;
        m_state.ScrollTo(value);
        m_frame->SetPage(m_image, m_state.PageMode(), m_state.Scroll());
    });
}

QWidget *CCorvPrintDlg::BuildCountRow()
{
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    auto *label = new QLabel(LoadStr(Sid::PrintPages), box);
    m_count = new QLineEdit(QStringLiteral("1"), box);
    m_count->setObjectName(QStringLiteral("edit1138"));
    m_count->setMaxLength(PrintPreviewState::kEditLength);
    m_count->setFixedWidth(40);
    label->setBuddy(m_count);
    m_up = new QToolButton(box);
    m_up->setObjectName(QStringLiteral("spin1201up"));
    m_up->setArrowType(Qt::UpArrow);
    m_up->setAccessibleName(LoadStr(Sid::PrintMorePages)); // an arrow has no text of its own
    m_up->setToolTip(m_up->accessibleName());
    m_down = new QToolButton(box);
    m_down->setObjectName(QStringLiteral("spin1201down"));
    m_down->setArrowType(Qt::DownArrow);
    m_down->setAccessibleName(LoadStr(Sid::PrintFewerPages));
    m_down->setToolTip(m_down->accessibleName());
    m_preview = Button(box, "btn1159", LoadStr(Sid::PrintPreview));
    m_preview->setEnabled(false);
    m_curveMode = new QRadioButton(LoadStr(202), box); // 曲线
    m_curveMode->setObjectName(QStringLiteral("radio1202"));
    m_curveMode->setChecked(true);
    m_textMode = new QRadioButton(LoadStr(Sid::PrintText), box);
    m_textMode->setObjectName(QStringLiteral("radio1203"));
    for (QWidget *w :
         std::initializer_list<QWidget *>{label, m_count, m_up, m_down, m_preview, m_curveMode, m_textMode})
        row->addWidget(w);
    row->addStretch(1);
    connect(m_count, &QLineEdit::textEdited, this, &CCorvPrintDlg::PageCountEdited);
    connect(m_up, &QToolButton::clicked, this, [this] { StepPageCount(1); });
    connect(m_down, &QToolButton::clicked, this, [this] { StepPageCount(-1); });
    connect(m_preview, &QPushButton::clicked, this, &CCorvPrintDlg::Preview);
    connect(m_curveMode, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            ChooseMode(Mode::Curve);
    });
    connect(m_textMode, &QRadioButton::toggled, this, [this](bool on) {
        if (on)
            ChooseMode(Mode::Text);
    });
    return box;
}

QWidget *CCorvPrintDlg::BuildPageRow()
{
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    const std::tuple<const char *, int, void (PrintPreviewState::*)()> pages[] = {
        {"btn1205", Sid::PrintFirstPage, &PrintPreviewState::First},
        {"btn1206", Sid::MonPrevPage, &PrintPreviewState::Previous},
        {"btn1012", Sid::MonNextPage, &PrintPreviewState::Next},
        {"btn1013", Sid::PrintLastPage, &PrintPreviewState::Last}};
    for (int i = 0; i < 4; ++i) {
        const auto &[name, textId, action] = pages[i];
        m_pages[i] = Button(box, name, LoadStr(textId));
        m_pages[i]->setEnabled(false);
        row->addWidget(m_pages[i]);
        connect(m_pages[i], &QPushButton::clicked, this, [this, action = action] { Turn(action); });
    }
    m_indicator = new QLabel(m_state.Indicator(), box);
    m_indicator->setObjectName(QStringLiteral("static1207"));
    row->addWidget(m_indicator);
    row->addStretch(1);
    return box;
}

QWidget *CCorvPrintDlg::BuildCommandRow()
{
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    row->setContentsMargins(0, 0, 0, 0);
    m_print = Button(box, "btn1160", LoadStr(Sid::Print));
    m_pdf = Button(box, "btnExportPdf", LoadStr(Sid::PrintExportPdf));
    m_exit = Button(box, "btn2", LoadStr(Sid::Exit));
    row->addStretch(1);
    row->addWidget(m_print);
    row->addWidget(m_pdf);
    row->addWidget(m_exit);
    connect(m_print, &QPushButton::clicked, this, &CCorvPrintDlg::Print);
    connect(m_pdf, &QPushButton::clicked, this, &CCorvPrintDlg::ExportPdf);
    connect(m_exit, &QPushButton::clicked, this, &QDialog::reject);
    return box;
}

void CCorvPrintDlg::PageCountEdited(const QString &text)
{
    int caret = m_count->cursorPosition();
    const QString digits = PrintPreviewState::FilterDigits(text, caret);
    if (digits != text) {
        m_count->setText(digits);
        m_count->setCursorPosition(caret);
    }
    m_preview->setEnabled(m_state.PreviewEnabled(digits));
}

void CCorvPrintDlg::StepPageCount(int delta)
{
    if (!m_count->isEnabled())
        return;
    m_count->setText(PrintPreviewState::StepPageCount(m_count->text(), delta));
    m_preview->setEnabled(m_state.PreviewEnabled(m_count->text()));
}

void CCorvPrintDlg::Preview()
{
    QString text = m_count->text();
    if (!m_state.ApplyPageCount(text))
        return;
    m_count->setText(text);
    ShowPage();
    m_preview->setEnabled(false);
}

void CCorvPrintDlg::ChooseMode(Mode mode)
{
    m_state.SetMode(mode);
    const bool curve = mode == Mode::Curve;
    m_count->setText(m_state.EditText());
    m_count->setEnabled(curve);
    m_up->setEnabled(curve);
    m_down->setEnabled(curve);
    m_preview->setEnabled(false);
    m_vertical->setVisible(!curve);
    m_vertical->setRange(0, m_state.ScrollMax());
    if (m_state.HasData())
        ShowPage();
}

void CCorvPrintDlg::Turn(void (PrintPreviewState::*action)())
{
    if (!m_state.HasData())
        return;
    (m_state.*action)();
    ShowPage();
}

void CCorvPrintDlg::ShowPage()
{
    const ReportPages::Geometry g(logicalDpiX(), logicalDpiY());
    if (m_state.HasData()) {
        m_image = QImage(g.PageSize(m_state.PageMode()), QImage::Format_RGB32);
        m_image.setDotsPerMeterX(qRound(logicalDpiX() / 0.0254));
        m_image.setDotsPerMeterY(qRound(logicalDpiY() / 0.0254));
        m_image.fill(Qt::white);
        QPainter painter(&m_image);
        m_report.Paint(painter, g, m_state.PageMode(), m_state.Current(), m_state.Total());
    }
    m_frame->SetPage(m_image, m_state.PageMode(), m_state.Scroll());
    {
        const QSignalBlocker block(m_vertical);
        m_vertical->setValue(m_state.Scroll());
    }
    const PrintPreviewState::Buttons b = m_state.PageButtons();
    const bool on[] = {b.first, b.previous, b.next, b.last};
    for (int i = 0; i < 4; ++i)
        m_pages[i]->setEnabled(on[i]);
    m_indicator->setText(m_state.Indicator());
}

void CCorvPrintDlg::SetCommandsEnabled(bool on)
{
    // Nothing to print or write without samples.
    m_print->setEnabled(on && m_state.HasData());
    m_pdf->setEnabled(on && m_state.HasData());
    m_exit->setEnabled(on);
    if (!on)
        m_preview->setEnabled(false);
}

void CCorvPrintDlg::Print()
{
    if (!m_state.HasData())
        return;
    SetCommandsEnabled(false);
    QPrinter printer(QPrinter::HighResolution);
    printer.setPageOrientation(m_state.PageMode() == Mode::Curve ? QPageLayout::Landscape
                                                                 : QPageLayout::Portrait);
    QPrintDialog dialog(&printer, this);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, false);
    dialog.setOption(QAbstractPrintDialog::PrintSelection, false);
    dialog.setOption(QAbstractPrintDialog::PrintCurrentPage, false);
    dialog.setOption(QAbstractPrintDialog::PrintToFile, false);
    if (m_prompt.RunModal(dialog) == QDialog::Accepted)
        PrintTo(printer);
    SetCommandsEnabled(true);
}

void CCorvPrintDlg::PrintTo(QPrinter &printer) const
{
    printer.setDocName(m_report.Title());
    const double scale =
        ReportPages::PrintScale(m_state.PageMode(), printer.pageRect(QPrinter::Millimeter).size());
    QPainter painter;
    if (!painter.begin(&printer)) {
        qCWarning(lcHistory) << "the print job for" << m_report.Title() << "could not be started";
        return;
    }
    const ReportPages::Geometry g(printer.resolution(), printer.resolution(), scale);
    (void)ReportPages::PaintDocument(painter, printer, g, m_report, m_state.PageMode(), m_state.Total());
    painter.end();
}

void CCorvPrintDlg::ExportPdf()
{
    if (!m_state.HasData())
        return;
    QString path = m_choosePdf(this, HistoryViewRules::InitialFolder());
    if (path.isEmpty())
        return;
    if (!path.endsWith(QStringLiteral(".pdf"), Qt::CaseInsensitive))
        path += QStringLiteral(".pdf");
    const ReportPages::PdfResult r =
        ReportPages::WritePdf(m_store, path, m_state.PageMode(), m_state.CurvePages());
    if (!r.ok) {
        m_prompt.Warn(this, r.message);
        return;
    }
    (void)CCorvFile::RememberSaveFolder(path);
    m_prompt.Inform(this, LoadStr(Sid::PrintPdfSaved).arg(path));
}
