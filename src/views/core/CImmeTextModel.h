#pragma once

#include <QAbstractTableModel>
#include <QString>

class CCorvaneBeeNode;

// The text page of the real-time view: one row per sample in the sample ring of the logger
// shown, oldest first, numbered from 1. Rows are appended as samples arrive; once the ring is
// full (10000 samples) each new sample removes the first row, appends one and renumbers the
// rows. Cells are read from the ring; units, channels and alarm limits are taken when the node
// is shown or synchronised. Feed it newSample through Sync.
class CImmeTextModel : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { ColNumber, ColTime, ColCh1, ColCh2, ColumnCount };

    explicit CImmeTextModel(CCorvaneBeeNode &table, QObject *parent = nullptr);

    [[nodiscard]] int rowCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] int columnCount(const QModelIndex &parent = QModelIndex()) const override;
    [[nodiscard]] QVariant data(const QModelIndex &index, int role) const override;
    [[nodiscard]] QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

    // Shows node id (its rows replace those of another node) and brings the rows into line.
    void Show(int id);
    [[nodiscard]] int Shown() const { return m_id; }
    [[nodiscard]] QString Text(int row, int column) const;

public slots:
    // A new sample of node id: the rows follow when it is the node shown.
    void Sync(int id);

private:
    struct Channel {
        bool present = false;
        QString unit;
        float upper = 0.0f;
        float lower = 0.0f;
    };
    struct Newest {
        qint64 time = 0;
        float ch1 = 0.0f;
        float ch2 = 0.0f;
        bool operator!=(const Newest &o) const { return time != o.time || ch1 != o.ch1 || ch2 != o.ch2; }
    };

    void TakeNodeFacts();
    void FollowRing();
    [[nodiscard]] Newest NewestSample() const;
    [[nodiscard]] QString ValueCell(int sample, int channel) const;

    CCorvaneBeeNode &m_table;
    int m_id = -1;
    int m_rows = 0;
    int m_numberShift = 0;
    Newest m_newest;
    bool m_alarm = false;
    Channel m_ch1;
    Channel m_ch2;
};
