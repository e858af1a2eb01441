#pragma once

#include <QString>
#include <QStringList>
#include <QtGlobal>

#include <optional>
#include <vector>

class CMessageHis;
class CMessageHisNew;

// One event-log record as the message lists show it: the four texts as stored.
struct MessageRow {
    QString type;
    QString time;
    QString user;
    QString event;
};

// The five type words of the message log, compared as text. Records logged before the
// interface language was changed carry the words of the other language; they are recognised
// too, so that a language change neither drops them from the archive nor loses their colour.
struct MessageWords {
    enum class Kind { Alarm, Set, Download, System, PreAlarm, Other };

    QString alarm;    // 警告
    QString set;      // 设置
    QString download; // 下载
    QString system;   // 系统
    QString preAlarm; // 预警
    // The same five words in the other language, in this order.
    QStringList otherLanguage;

    // The words of the current string table and of the other language's table.
    [[nodiscard]] static MessageWords Load();
    [[nodiscard]] Kind KindOf(const QString &type) const;
    // Records of these types go to the monthly files; a pre-alarm and any other type do not.
    [[nodiscard]] bool IsArchived(const QString &type) const;
    // Records of these types are listed on the alarm page.
    [[nodiscard]] bool IsAlarm(const QString &type) const;
    // The text colour of a row by its type word, 0xRRGGBB (black for other words).
    [[nodiscard]] quint32 Colour(const QString &type) const;
};

// The width of a message list's event column, fitted to the longest event text it has shown:
// that text's length in 8-bit bytes (a character outside ASCII counts two) × 6.5, truncated.
class EventColumn {
public:
    static constexpr int kInitialWidth = 500;

    explicit EventColumn(int longest) : m_longest(longest) {}

    [[nodiscard]] static int WidthFor(int bytes) { return bytes * 13 / 2; }
    // Makes the event the longest when it is longer; true when it did.
    bool Offer(const QString &event);
    // Fits the width to the longest when the longest exceeds the threshold.
    void FitAbove(int threshold);
    void Fit() { m_width = WidthFor(m_longest); }
    // Starts afresh with that longest and width.
    void Reset(int longest, int width);
    [[nodiscard]] int Longest() const { return m_longest; }
    [[nodiscard]] int Width() const { return m_width; }

private:
    int m_longest;
    int m_width = kInitialWidth;
};

// The time of a record's time text "Y-M-D hh:mm:ss" as the local time of those fields; empty
// when a field is missing or empty, or out of range (year from 1900, month 1..12, day 1..31,
// hour 0..23, minute and second 0..59), or the fields name no day of the calendar. Each field
// is read as a decimal number up to its first non-digit.
[[nodiscard]] std::optional<qint64> ParseMessageTime(const QString &text);

// What one take-over of the new messages did.
struct TakeOverResult {
    bool opened = false;              // the new-messages file could be read
    std::vector<MessageRow> all;      // every taken-over record in file order (the dialog)
    std::vector<MessageRow> alarm;    // readable alarm and pre-alarm records (alarm page)
    std::vector<MessageRow> recent;   // every readable record (recent page)
    std::vector<MessageRow> archived; // as written to the monthly files, in order
    std::vector<QString> monthFiles;  // monthly files written to, in order
    int unreadable = 0;               // records whose time text could not be read
    bool saved = true;                // every archived record reached its monthly file
};

// Takes the new messages over and archives the records of the archived types into the
// monthly files of their times, a month group at a time in file order.
//
// The new-messages file gives up the records only once every monthly file was written; when a
// write fails nothing is removed and the next take-over hands the same records out again.
// A record whose time text cannot be read is archived with the take-over time `now` into that
// month, its time text kept at the start of its event text, so that it is not lost; it stays
// off the alarm and recent lists. The taken-over text of the new-messages store is emptied.
[[nodiscard]] TakeOverResult TakeOverMessages(CMessageHisNew &fresh, CMessageHis &archive,
                                              const MessageWords &words, qint64 now);
