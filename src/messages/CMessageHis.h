#pragma once

#include <QByteArray>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// The event-log store: assembles records, appends them scrambled to a message file, and reads a
// message file back with an index of its records. One instance archives into the monthly files
// ("msg" + yyyy + mm + ".cvm", headed by their own name); CMessageHisNew works on the
// new-messages file.
//
// Writing an entry: NewEntry, SetType, SetTime, SetUser, SetEvent, Commit, then Save (or
// SaveToMonth). Reading: LoadMonth (or the constructor), then GetRecord / GetNextRecord and the
// field getters.
class CMessageHis {
public:
    static constexpr int kInitialIndexCapacity = 50000;
    // A read file of at most this many bytes holds no message.
    static constexpr qint64 kNoMessageSize = 20;

    // Works in homeFolder + "/message" and remembers the last monthly file in
    // homeFolder + "/profiler/sysmaneger.ini"; that file becomes the read file, read by
    // LoadMonth(std::nullopt) when needed.
    explicit CMessageHis(const QString &homeFolder);
    // A reader of texts handed to SetLoadedText, tied to no folder.
    CMessageHis();
    virtual ~CMessageHis();
    CMessageHis(const CMessageHis &) = delete;
    CMessageHis &operator=(const CMessageHis &) = delete;

    // Writing an entry.
    void NewEntry();
    void SetType(const QString &type);
    void SetTime(qint64 seconds);
    void SetUser(const QString &user);
    void SetEvent(const QString &event);
    void Commit();
    // Appends the unsaved text to the write file; false (the text stays) when nothing was written.
    [[nodiscard]] bool Save();
    // Appends the unsaved text to the monthly file of that time, created with its header when
    // new, and remembers its name (the settings file is written only when the name changes);
    // false (the text stays) when nothing was written.
    [[nodiscard]] bool SaveToMonth(qint64 seconds);
    [[nodiscard]] bool HasUnsaved() const { return !m_unsaved.isEmpty(); }
    // Drops committed records not yet written (their writer keeps another copy).
    void DiscardUnsaved() { m_unsaved.clear(); }

    // True when the read file holds more than 20 bytes not yet taken over.
    [[nodiscard]] bool HasNewMessages() const;

    // Reads the monthly file of that time (or, without a time, the current read file) and
    // indexes it; false when the file cannot be read.
    [[nodiscard]] bool LoadMonth(std::optional<qint64> seconds);
    // Finds the records of the loaded text; returns and keeps their number.
    int IndexRecords();
    [[nodiscard]] int RecordCount() const { return m_recordCount; }
    // Makes record i of the index the current record.
    [[nodiscard]] bool GetRecord(int index);
    // Makes the first record at or after a text position the current one; returns the position
    // of its end marker, or -1 when there is none.
    [[nodiscard]] int GetNextRecord(int position);

    // Fields of the current record; empty when missing. User and event are un-escaped.
    [[nodiscard]] QString TimeText() const;
    [[nodiscard]] QString TypeText() const;
    [[nodiscard]] QString UserText() const;
    [[nodiscard]] QString EventText() const;

    [[nodiscard]] const QByteArray &LoadedText() const { return m_loaded; }
    void ClearLoadedText();
    // Takes a descrambled text as the loaded text and indexes it.
    void SetLoadedText(const QByteArray &text);
    [[nodiscard]] QString ReadFileName() const { return m_readName; }
    [[nodiscard]] QString WriteFileName() const { return m_writeName; }
    [[nodiscard]] QString MessageFolder() const { return m_folder; }

protected:
    void SetReadFile(const QString &name);
    void SetWriteFile(const QString &name);
    // Reads the whole read file from a byte offset and descrambles it into the loaded text.
    [[nodiscard]] bool ReadFrom(qint64 offset);
    // Appends scrambled bytes to the write file; on a short write the file is cut back to its
    // old length so that no partial record is left behind.
    [[nodiscard]] bool AppendToWriteFile(const QByteArray &plain, bool createWithHeader);
    [[nodiscard]] QString PathOf(const QString &name) const;

    // Bytes at the start of the read file already handed out by a take-over (CMessageHisNew).
    qint64 m_takenLength = 0;

private:
    // Finds the record starting at or after pos: begin is the position of the begin marker,
    // end that of the following end marker. A begin marker that meets another begin marker
    // before its end marker belongs to a damaged record and is skipped.
    [[nodiscard]] bool FindRecord(int pos, int &begin, int &end) const;
    [[nodiscard]] QString Field(const char *tag) const;

    int m_recordCount = 0;
    QString m_settingsFile;
    // The monthly file the settings file names.
    QString m_rememberedMonth;
    QString m_folder;
    QString m_readName;
    std::uint8_t m_readKey = 0;
    QString m_writeName;
    std::uint8_t m_writeKey = 0;
    QByteArray m_loaded;
    QByteArray m_current;
    QByteArray m_unsaved;
    QByteArray m_pending;
    std::vector<int> m_index;
};
