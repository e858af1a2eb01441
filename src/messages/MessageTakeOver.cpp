#include "messages/MessageTakeOver.h"
#include "messages/MessagesLog.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "base/StringIds.h"
#include "base/StringTable.h"
#include "base/TextBytes.h"
#include "messages/CMessageHisNew.h"

#include <limits>

namespace {

constexpr int kWordIds[] = {Sid::WordAlarm, Sid::WordSet, Sid::WordDownload, Sid::WordSystem,
                            Sid::WordPreAlarm};

} // namespace

MessageWords MessageWords::Load()
{
    MessageWords words;
    QString *const current[] = {&words.alarm, &words.set, &words.download, &words.system, &words.preAlarm};
    const AppSettings &settings = AppSettings::Instance();
    StringTable other;
    other.Load(settings.IsChinese() ? UiLanguage::English : UiLanguage::Chinese, settings.LangFolder());
    for (int k = 0; k < int(Kind::Other); ++k) {
        *current[k] = LoadStr(kWordIds[k]);
        words.otherLanguage << other.Text(kWordIds[k]);
    }
    return words;
}

MessageWords::Kind MessageWords::KindOf(const QString &type) const
{
    const QString current[] = {alarm, set, download, system, preAlarm};
    for (int k = 0; k < int(Kind::Other); ++k) {
        if (type == current[k] || (k < otherLanguage.size() && type == otherLanguage[k]))
            return Kind(k);
    }
    return Kind::Other;
}

bool MessageWords::IsArchived(const QString &type) const
{
    const Kind kind = KindOf(type);
    return kind == Kind::Alarm || kind == Kind::Set || kind == Kind::Download || kind == Kind::System;
}

bool MessageWords::IsAlarm(const QString &type) const
{
    const Kind kind = KindOf(type);
    return kind == Kind::Alarm || kind == Kind::PreAlarm;
}

quint32 MessageWords::Colour(const QString &type) const
{
    static constexpr quint32 kColours[] = {0xFF3C3C, 0x0082FF, 0x804000, 0x8000FF, 0xFABE00, 0x000000};
    return kColours[int(KindOf(type))];
}

bool EventColumn::Offer(const QString &event)
{
    const int bytes = LegacyByteLength(event);
    if (bytes <= m_longest)
        return false;
    m_longest = bytes;
    return true;
}

void EventColumn::FitAbove(int threshold)
{
    if (m_longest > threshold)
        Fit();
}

void EventColumn::Reset(int longest, int width)
{
    m_longest = longest;
    m_width = width;
}

namespace {

// A decimal number as the C library's conversion reads it: leading blanks, a sign, digits up
// to the first non-digit (none gives 0); clamped to int.
int LeadingNumber(QStringView text)
{
    int i = 0;
    while (i < text.size() &&
           (text[i] == QLatin1Char(' ') || (text[i] >= QLatin1Char('\t') && text[i] <= QLatin1Char('\r'))))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == QLatin1Char('+') || text[i] == QLatin1Char('-')))
        negative = text[i++] == QLatin1Char('-');
    qint64 value = 0;
    for (; i < text.size() && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9'); ++i)
        value = qMin<qint64>(value * 10 + (text[i].unicode() - '0'), std::numeric_limits<int>::max());
    return int(negative ? -value : value);
}

// Reads the field before the separator and removes it with the separator from the text; false
// when the separator is missing or stands first (an empty field).
bool TakeField(QStringView &rest, QChar separator, int &value)
{
    const qsizetype at = rest.indexOf(separator);
    if (at < 1)
        return false;
    value = LeadingNumber(rest.left(at));
    rest = rest.mid(at + 1);
    return true;
}

} // namespace

std::optional<qint64> ParseMessageTime(const QString &text)
{
    QStringView rest(text);
    CvTime::LocalFields f;
    if (!TakeField(rest, QLatin1Char('-'), f.year) || !TakeField(rest, QLatin1Char('-'), f.month) ||
        !TakeField(rest, QLatin1Char(' '), f.day) || !TakeField(rest, QLatin1Char(':'), f.hour) ||
        !TakeField(rest, QLatin1Char(':'), f.minute) || rest.isEmpty())
        return std::nullopt;
    f.second = LeadingNumber(rest);
    // A year of more than four digits names no monthly file: such a record could never be archived.
    const bool inRange = f.year >= 1900 && f.year <= 9999 && f.month >= 1 && f.month <= 12 && f.day >= 1 &&
                         f.day <= 31 && f.hour >= 0 && f.hour <= 23 && f.minute >= 0 && f.minute <= 59 &&
                         f.second >= 0 && f.second <= 59;
    if (!inRange)
        return std::nullopt;
    return CvTime::FromLocal(f);
}

namespace {

// Writes archived records into the archive store, one month group at a time.
class Archiver {
public:
    Archiver(CMessageHis &archive, TakeOverResult &result) : m_archive(archive), m_result(result) {}

    void Add(const MessageRow &row, qint64 time)
    {
        if (m_group && !SameMonth(*m_group, time))
            Flush();
        if (!m_group) {
            m_archive.NewEntry();
            m_group = time;
        }
        m_archive.SetType(row.type);
        m_archive.SetTime(time);
        m_archive.SetUser(row.user);
        m_archive.SetEvent(row.event);
        m_archive.Commit();
        m_result.archived.push_back({row.type, CvTime::FormatDateTime(time), row.user, row.event});
    }

    // Saves the group to the month of its time and ends it.
    void Flush()
    {
        if (!m_group)
            return;
        if (m_archive.SaveToMonth(*m_group)) {
            m_result.monthFiles.push_back(m_archive.WriteFileName());
        } else if (m_archive.HasUnsaved()) {
            // Kept, the text would land in the next month's file; the new-messages file still
            // holds these records.
            qCWarning(lcMessages) << "messages not archived into the month of"
                                  << CvTime::FormatDateTime(*m_group);
            m_archive.DiscardUnsaved();
            m_result.saved = false;
        }
        m_group.reset();
    }

private:
    static bool SameMonth(qint64 a, qint64 b)
    {
        const CvTime::LocalFields fa = CvTime::ToLocal(a);
        const CvTime::LocalFields fb = CvTime::ToLocal(b);
        return fa.year == fb.year && fa.month == fb.month;
    }

    CMessageHis &m_archive;
    TakeOverResult &m_result;
    std::optional<qint64> m_group;
};

} // namespace

TakeOverResult TakeOverMessages(CMessageHisNew &fresh, CMessageHis &archive, const MessageWords &words,
                                qint64 now)
{
    TakeOverResult result;
    if (!fresh.TakeOverNewMessages())
        return result;
    result.opened = true;
    Archiver archiver(archive, result);
    for (int pos = 0; (pos = fresh.GetNextRecord(pos)) >= 1;) {
        const MessageRow row{fresh.TypeText(), fresh.TimeText(), fresh.UserText(), fresh.EventText()};
        result.all.push_back(row);
        const std::optional<qint64> time = ParseMessageTime(row.time);
        if (!time) {
            ++result.unreadable;
            if (words.IsArchived(row.type))
                archiver.Add({row.type, row.time, row.user, row.time + QLatin1Char(' ') + row.event}, now);
            continue;
        }
        if (words.IsArchived(row.type))
            archiver.Add(row, *time);
        if (words.IsAlarm(row.type))
            result.alarm.push_back(row);
        result.recent.push_back(row);
    }
    archiver.Flush();
    if (!result.saved)
        fresh.AbandonTakeOver();
    else if (!fresh.CommitTakeOver())
        qCWarning(lcMessages) << "archived messages stay in the new-messages file until the next take-over";
    fresh.ClearLoadedText();
    return result;
}
