#include "views/MonitorDialog.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLinearGradient>
#include <QPainter>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int kMonitorTitle = 13210; // 监控界面

// The tile pictures: a green or red plate with a lamp, green or yellow, at the top right.
void PaintTile(QPainter &p, const QRect &area, MonitorTiles::Look look)
{
    const bool alarm = look == MonitorTiles::Look::Alarm;
    QLinearGradient plate(area.topLeft(), area.bottomLeft());
    plate.setColorAt(0, alarm ? QColor(240, 110, 100) : QColor(150, 220, 150));
    plate.setColorAt(1, alarm ? QColor(190, 30, 30) : QColor(40, 140, 60));
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(60, 60, 60), 2));
    p.setBrush(plate);
    p.drawRoundedRect(area.adjusted(2, 2, -2, -2), 10, 10);
    const int radius = qMax(4, area.height() / 10);
    const QPoint centre(area.right() - 2 * radius - 4, area.top() + 2 * radius + 2);
    QRadialGradient lamp(centre, radius);
    const QColor light = look == MonitorTiles::Look::Unreachable ? QColor(255, 210, 0) : QColor(60, 230, 60);
    lamp.setColorAt(0, Qt::white);
    lamp.setColorAt(0.4, light);
    lamp.setColorAt(1, light.darker(160));
    p.setBrush(lamp);
    p.drawEllipse(centre, radius, radius);
}

int LookTextId(MonitorTiles::Look look)
{
    switch (look) {
    case MonitorTiles::Look::Normal:
        return Sid::MonTileNormal;
    case MonitorTiles::Look::Unreachable:
        return Sid::MonTileUnreachable;
    case MonitorTiles::Look::Alarm:
        return Sid::MonTileAlarm;
    }
    return Sid::MonTileNormal;
}

QFont ArialBold(int points)
{
    QFont font(QStringLiteral("Arial"), points);
    font.setBold(true);
    return font;
}

} // namespace

CMoniterUintDlg::CMoniterUintDlg(int index, QWidget *parent) : QWidget(parent)
{
    setObjectName(QStringLiteral("tile%1").arg(1244 + index));
    m_title = new QLabel(this);
    m_title->setObjectName(QStringLiteral("lbl1280"));
    m_title->setFont(ArialBold(18));
    QPalette titleColours = m_title->palette();
    titleColours.setColor(QPalette::WindowText, QColor(20, 100, 200));
    m_title->setPalette(titleColours);
    m_reading = new QLabel(this);
    m_reading->setObjectName(QStringLiteral("lbl1281"));
    m_reading->setFont(ArialBold(18));
    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(12, 4, 12, 8);
    layout->addWidget(m_title);
    layout->addWidget(m_reading, 1);
    setMinimumSize(185, 93);
    hide();
}

void CMoniterUintDlg::Show(const MonitorTiles::Tile &tile)
{
    setVisible(tile.nodeId != 0);
    m_title->setText(tile.title);
    m_reading->setText(tile.reading);
    QPalette colours = m_reading->palette();
    colours.setColor(QPalette::WindowText, tile.look == MonitorTiles::Look::Unreachable
                                               ? QColor(0x78, 0x78, 0x78)
                                               : QColor(Qt::black));
    m_reading->setPalette(colours);
    setAccessibleName(tile.title);
    setAccessibleDescription(LoadStr(LookTextId(tile.look)));
    if (m_look != tile.look) {
        m_look = tile.look;
        update();
    }
}

void CMoniterUintDlg::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    PaintTile(p, rect(), m_look);
}

CMonitorTopDlg::CMonitorTopDlg(std::function<qint64()> now, QWidget *parent)
    : QWidget(parent), m_now(std::move(now))
{
    setObjectName(QStringLiteral("CMonitorTopDlg"));
    m_clock = new QLabel(this);
    m_clock->setObjectName(QStringLiteral("lbl1278"));
    m_clock->setFont(ArialBold(22));
    QPalette colours = m_clock->palette();
    colours.setColor(QPalette::WindowText, QColor(0xE6, 0xE6, 0xE6));
    m_clock->setPalette(colours);
    auto *layout = new QHBoxLayout(this);
    layout->addWidget(m_clock, 0, Qt::AlignCenter);
    setMinimumHeight(100);
    connect(&m_timer, &QTimer::timeout, this, [this] { Tick(QStringLiteral("       ")); });
    m_timer.start(1000);
    Tick(QStringLiteral(" "));
}

void CMonitorTopDlg::Tick(const QString &trailing)
{
    const CvTime::LocalFields f = CvTime::ToLocal(m_now());
    m_clock->setText(
        QString::asprintf(" %.2d:%.2d:%.2d \n %d-%d-%d", f.hour, f.minute, f.second, f.year, f.month, f.day) +
        trailing);
}

void CMonitorTopDlg::paintEvent(QPaintEvent *)
{
    QPainter p(this);
    QLinearGradient sky(rect().topLeft(), rect().bottomLeft());
    sky.setColorAt(0, QColor(30, 60, 120));
    sky.setColorAt(1, QColor(10, 20, 50));
    p.fillRect(rect(), sky);
}

MonitorDialog::MonitorDialog(CCorvaneBeeNode &table, std::vector<MonitorTiles::Source> loggers,
                             std::function<qint64()> now, QWidget *parent)
    : QDialog(parent), m_table(table),
      m_page(table, std::move(loggers),
             {AppSettings::Instance().CurrentTempUnit(), AppSettings::Instance().FahrenheitText(),
              AppSettings::Instance().HumidityText()})
{
    setObjectName(QStringLiteral("MonitorDialog"));
    setWindowTitle(LoadStr(kMonitorTitle));
    auto *grid = new QGridLayout;
    for (int k = 0; k < MonitorTiles::kPerPage; ++k) {
        m_tiles[size_t(k)] = new CMoniterUintDlg(k, this);
        grid->addWidget(m_tiles[size_t(k)], k / MonitorTiles::kColumns, k % MonitorTiles::kColumns);
    }
    m_previous = new QPushButton(LoadStr(Sid::MonPrevPage), this);
    m_previous->setObjectName(QStringLiteral("btn1279"));
    m_next = new QPushButton(LoadStr(Sid::MonNextPage), this);
    m_next->setObjectName(QStringLiteral("btn1011"));
    auto *stop = new QPushButton(LoadStr(Sid::MonStopAlarm), this);
    stop->setObjectName(QStringLiteral("btn1282"));
    for (QPushButton *button : {m_previous, m_next, stop})
        button->setAutoDefault(false);
    connect(m_previous, &QPushButton::clicked, this, &MonitorDialog::PreviousPage);
    connect(m_next, &QPushButton::clicked, this, &MonitorDialog::NextPage);
    connect(stop, &QPushButton::clicked, this, &MonitorDialog::stopAlarmWanted);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(m_previous);
    buttons->addWidget(m_next);
    buttons->addWidget(stop);
    auto *layout = new QVBoxLayout(this);
    layout->addWidget(new CMonitorTopDlg(std::move(now), this));
    layout->addLayout(grid, 1);
    layout->addLayout(buttons);
    connect(&m_reachability, &QTimer::timeout, this, &MonitorDialog::CheckReachability);
    m_reachability.start(MonitorTiles::kReachabilityMs);
    UpdateButtons();
    ShowPage();
    if (const QScreen *where = parent ? parent->screen() : screen())
        setGeometry(where->availableGeometry());
}

void MonitorDialog::ShowPage()
{
    for (int k = 0; k < MonitorTiles::kPerPage; ++k)
        m_tiles[size_t(k)]->Show(m_page.Tiles()[size_t(k)]);
}

void MonitorDialog::UpdateButtons()
{
    m_previous->setEnabled(m_page.PreviousEnabled());
    if (const std::optional<bool> next = m_page.NextEnabled())
        m_next->setEnabled(*next);
}

void MonitorDialog::OnSample(int nodeId)
{
    const int k = m_page.OnSample(nodeId);
    if (k >= 0)
        m_tiles[size_t(k)]->Show(m_page.Tiles()[size_t(k)]);
}

void MonitorDialog::CheckReachability()
{
    for (const int k : m_page.CheckReachability())
        m_tiles[size_t(k)]->Show(m_page.Tiles()[size_t(k)]);
}

void MonitorDialog::PreviousPage()
{
    m_page.Previous();
    UpdateButtons();
    ShowPage();
}

void MonitorDialog::NextPage()
{
    m_page.Next();
    UpdateButtons();
    ShowPage();
}
