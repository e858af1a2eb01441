#include "history/CHistorySumm.h"

#include "base/StringIds.h"
#include "base/StringTable.h"

#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

namespace {

QString ControlName(const char *kind, int id)
{
    return QLatin1String(kind) + QString::number(id);
}

} // namespace

CHistorySumm::CHistorySumm(const CNodeDataSave &store, QWidget *parent) : QWidget(parent), m_store(store)
{
    auto *form = new QFormLayout;
    m_name = AddField(form, Sid::LabelName, 1185);
    m_type = AddField(form, Sid::LabelType, 1186);
    m_key = AddField(form, Sid::LabelFixedId, 1187);
    m_start = AddField(form, Sid::LabelStartTime, 1188);
    m_end = AddField(form, Sid::LabelStopTime, 1189);
    m_interval = AddField(form, Sid::LabelRecordInterval, 1190);
    m_count = AddField(form, Sid::LabelDataLength, 1191);
    m_extras = new QFormLayout;
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(BuildChannel(0, {1192, 1193, 1194}, 1198, {1067, 1138}));
    layout->addWidget(BuildChannel(1, {1195, 1196, 1197}, 1199, {1139, 1140}));
    layout->addLayout(m_extras);
    layout->addStretch(1);
}

QLabel *CHistorySumm::AddField(QFormLayout *form, int labelId, int controlId)
{
    auto *value = new QLabel(this);
    value->setObjectName(ControlName("static", controlId));
    value->setTextInteractionFlags(Qt::TextSelectableByMouse);
    auto *label = new QLabel(LoadStr(labelId), this);
    label->setBuddy(value);
    form->addRow(label, value);
    return value;
}

QWidget *CHistorySumm::BuildChannel(int channel, const std::array<int, 3> &figureIds, int alarmLabelId,
                                    const std::array<int, 2> &limitIds)
{
    ChannelControls &c = m_channels[size_t(channel)];
    auto *box = new QWidget(this);
    auto *row = new QHBoxLayout(box);
    auto *figures = new QGroupBox(LoadStr(channel ? Sid::LabelCh2 : Sid::LabelCh1), box);
    auto *figureRow = new QHBoxLayout(figures);
    for (size_t i = 0; i < c.figures.size(); ++i) {
        c.figures[i] = new QLabel(figures);
        c.figures[i]->setObjectName(ControlName("static", figureIds[i]));
        figureRow->addWidget(c.figures[i]);
    }
    auto *alarm = new QGroupBox(LoadStr(channel ? Sid::LabelCh2Alarm : Sid::LabelCh1Alarm), box);
    auto *alarmRow = new QHBoxLayout(alarm);
    c.lower = new QLineEdit(alarm);
    c.upper = new QLineEdit(alarm);
    c.alarmLabel = new QLabel(alarm);
    c.alarmLabel->setObjectName(ControlName("static", alarmLabelId));
    for (auto [edit, id] : {std::pair{c.lower, limitIds[0]}, std::pair{c.upper, limitIds[1]}}) {
        edit->setObjectName(ControlName("edit", id));
        edit->setReadOnly(true);
    }
    c.lower->setAccessibleName(alarm->title());
    c.upper->setAccessibleName(c.lower->accessibleName());
    alarmRow->addWidget(c.lower);
    alarmRow->addWidget(new QLabel(QStringLiteral("<"), alarm));
    alarmRow->addWidget(c.alarmLabel);
    alarmRow->addWidget(new QLabel(QStringLiteral("<"), alarm));
    alarmRow->addWidget(c.upper);
    row->addWidget(figures, 1);
    row->addWidget(alarm, 1);
    return box;
}

void CHistorySumm::Refresh()
{
    m_page = HistorySummary::Build(m_store);
    m_name->setText(m_page.name);
    m_type->setText(m_page.typeName);
    m_key->setText(m_page.nodeKey);
    m_start->setText(m_page.start);
    m_end->setText(m_page.end);
    m_interval->setText(m_page.interval);
    m_count->setText(m_page.count);
    for (size_t i = 0; i < m_channels.size(); ++i) {
        const HistorySummary::ChannelTexts &t = m_page.channel[i];
        ChannelControls &c = m_channels[i];
        c.figures[0]->setText(t.maximum);
        c.figures[1]->setText(t.minimum);
        c.figures[2]->setText(t.average);
        c.alarmLabel->setText(t.alarmLabel);
        c.lower->setText(t.lower);
        c.upper->setText(t.upper);
    }
    ShowExtras();
}

void CHistorySumm::ShowExtras()
{
    while (m_extras->rowCount() > 0)
        m_extras->removeRow(0);
    for (const HistorySummary::ExtraLine &line : m_page.extras)
        m_extras->addRow(new QLabel(line.label, this), new QLabel(line.value, this));
}
