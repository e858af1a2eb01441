#pragma once

#include "views/core/MonitorTiles.h"

#include <QDialog>
#include <QTimer>
#include <QWidget>

#include <array>
#include <functional>

class CCorvaneBeeNode;
class QLabel;
class QPushButton;

// One tile of the monitor screen: the logger's name and newest reading over a picture that shows
// whether the logger is reachable and whether the reading is outside its limits.
class CMoniterUintDlg final : public QWidget {
    Q_OBJECT
public:
    explicit CMoniterUintDlg(int index, QWidget *parent = nullptr);

    void Show(const MonitorTiles::Tile &tile);
    [[nodiscard]] MonitorTiles::Look Look() const { return m_look; }
    [[nodiscard]] QLabel *Title() const { return m_title; }
    [[nodiscard]] QLabel *Reading() const { return m_reading; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    MonitorTiles::Look m_look = MonitorTiles::Look::Unreachable;
    QLabel *m_title = nullptr;
    QLabel *m_reading = nullptr;
};

// The clock panel across the top of the monitor screen.
class CMonitorTopDlg final : public QWidget {
    Q_OBJECT
public:
    explicit CMonitorTopDlg(std::function<qint64()> now, QWidget *parent = nullptr);
    [[nodiscard]] QLabel *Clock() const { return m_clock; }

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void Tick(const QString &trailing);

    std::function<qint64()> m_now;
    QLabel *m_clock = nullptr;
    QTimer m_timer;
};

// The monitor screen: the clock panel and 30 tiles a page over the loggers of the real-time
// list. It fills the screen it opens on. The owner feeds it every new real-time sample.
class MonitorDialog final : public QDialog {
    Q_OBJECT
public:
    MonitorDialog(CCorvaneBeeNode &table, std::vector<MonitorTiles::Source> loggers,
                  std::function<qint64()> now, QWidget *parent = nullptr);

    [[nodiscard]] const MonitorTiles::Page &Page() const { return m_page; }
    [[nodiscard]] CMoniterUintDlg *Tile(int k) const { return m_tiles[size_t(k)]; }
    [[nodiscard]] QPushButton *PreviousButton() const { return m_previous; }
    [[nodiscard]] QPushButton *NextButton() const { return m_next; }

public slots:
    void OnSample(int nodeId);
    void CheckReachability();
    void PreviousPage();
    void NextPage();

signals:
    // "终止报警声音" was pressed.
    void stopAlarmWanted();

private:
    void ShowPage();
    void UpdateButtons();

    CCorvaneBeeNode &m_table;
    MonitorTiles::Page m_page;
    std::array<CMoniterUintDlg *, MonitorTiles::kPerPage> m_tiles{};
    QPushButton *m_previous = nullptr;
    QPushButton *m_next = nullptr;
    QTimer m_reachability;
};
