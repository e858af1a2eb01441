#pragma once

#include <QString>
#include <QtGlobal>

#include <array>
#include <optional>
#include <vector>

struct BeeNodeItem;
class CCorvaneBeeNode;
class CNodeListModel;

// The monitor screen without its window: 30 tiles a page (six columns, five rows) over the
// loggers of the real-time list in its order, what each tile shows and when it turns to its
// alarm or unreachable look.
namespace MonitorTiles {

inline constexpr int kPerPage = 30;
inline constexpr int kColumns = 6;
inline constexpr int kRows = 5;
inline constexpr int kReachabilityMs = 3000;

enum class Look { Normal = 1, Unreachable = 2, Alarm = 3 };

// A logger of the real-time list.
struct Source {
    int id = 0;
    QString name;
};

// The loggers of a list in its order.
[[nodiscard]] std::vector<Source> SourcesOf(const CNodeListModel &list);

struct Limits {
    float ch1Lower = 0;
    float ch1Upper = 0;
    float ch2Lower = 0;
    float ch2Upper = 0;
};

[[nodiscard]] constexpr int PageCount(int rows)
{
    return (rows + kPerPage - 1) / kPerPage;
}
// "上一页" is enabled from page 2 on.
[[nodiscard]] constexpr bool PreviousEnabled(int page)
{
    return page > 1;
}
// "下一页": enabled before the last page, disabled on it; past it (no pages at all) it keeps
// the state it had.
[[nodiscard]] std::optional<bool> NextEnabled(int page, int pageCount);

// The reading of a tile: per logger type, with the units of the settings, a temperature in
// Fahrenheit when the unit is the Fahrenheit text, five blanks at the end.
[[nodiscard]] QString ReadingText(quint8 type, float value1, float value2, const QString &temperatureUnit,
                                  const QString &fahrenheitText, const QString &humidityUnit);
// Out of the limits (strictly) on a channel the logger type has, and only when the logger's alarm
// setting (status & 0x0C) is 4.
[[nodiscard]] bool InAlarm(quint8 type, quint8 status, float value1, float value2, const Limits &limits);
// The 3-second check of a tile showing a node: a reachable logger (run state other than 3) leaves
// the unreachable look, anything else takes it; the alarm look stays while reachable.
[[nodiscard]] Look AfterReachabilityCheck(Look current, const BeeNodeItem *node);

// One tile's state.
struct Tile {
    int nodeId = 0; // 0: empty (hidden)
    QString title;
    QString reading;
    Look look = Look::Unreachable;
    quint8 alarmSetting = 0;
    Limits limits;
};

// The unit texts a reading is shown with.
struct Units {
    QString temperature; // the current temperature unit
    QString fahrenheit;  // the Fahrenheit text of the settings
    QString humidity;
};

// The tiles of the current page. A tile that keeps its logger across a page change keeps its
// look until the next check or sample; a tile that takes another logger shows that logger's own
// newest reading (none before its first sample), never the reading of the logger it showed before.
class Page {
public:
    Page(CCorvaneBeeNode &table, std::vector<Source> sources, Units units);

    [[nodiscard]] int Number() const { return m_page; }
    [[nodiscard]] int Count() const { return m_count; }
    [[nodiscard]] const std::array<Tile, kPerPage> &Tiles() const { return m_tiles; }
    [[nodiscard]] bool PreviousEnabled() const { return MonitorTiles::PreviousEnabled(m_page); }
    // Empty: unchanged.
    [[nodiscard]] std::optional<bool> NextEnabled() const
    {
        return MonitorTiles::NextEnabled(m_page, m_count);
    }

    // Page buttons; the page number moves even where it holds no rows.
    void Previous();
    void Next();
    // A new sample of the node: the tile showing it on this page takes the reading and look;
    // the index of that tile, or -1 when none shows it.
    int OnSample(int nodeId);
    // The reachability check of every tile; the indices of tiles whose look changed.
    std::vector<int> CheckReachability();

private:
    // Shows the rows of the current page; nothing when it holds none.
    void Fill();
    // The tile takes the node's newest sample: reading and look; false when it has none.
    bool TakeNewest(Tile &tile);

    CCorvaneBeeNode &m_table;
    std::vector<Source> m_sources;
    Units m_units;
    int m_page = 1;
    int m_count = 0;
    std::array<Tile, kPerPage> m_tiles{};
};

} // namespace MonitorTiles
