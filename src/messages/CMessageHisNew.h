#pragma once

#include "base/MessageKind.h"
#include "messages/CMessageHis.h"

// The store of new messages, "nmw001100.cvm" in the message folder: every writer appends to it,
// the message view takes the messages over and archives them into the monthly files.
//
// Taking over is two-phase so that a crash cannot lose messages: TakeOverNewMessages hands out
// the records not yet taken over, and only CommitTakeOver, called once they are safely in the
// monthly files, removes them from the file. Records that arrived in between stay. After a crash
// before the commit the next run takes the same records over again (at worst they are archived
// twice, never lost).
class CMessageHisNew : public CMessageHis {
public:
    static constexpr const char *kFileName = "nmw001100.cvm";

    // Creates the file empty when missing and loads its content.
    explicit CMessageHisNew(const QString &homeFolder);

    // Reads the records appended since the last take-over into the loaded text; false when the
    // file cannot be read. Taking over twice in a row gives the records once.
    [[nodiscard]] bool TakeOverNewMessages();
    // Removes the taken-over bytes from the file, keeping what was appended since; false (and
    // the file unchanged) when it cannot be rewritten.
    [[nodiscard]] bool CommitTakeOver();
    // Forgets the last take-over without touching the file: the next take-over hands out the
    // same records again (used when they could not be archived).
    void AbandonTakeOver() { m_takenLength = 0; }
    [[nodiscard]] qint64 TakenLength() const { return m_takenLength; }

    // The whole entry at once: new entry, type, time, user, event, commit, save.
    [[nodiscard]] bool Log(const QString &type, qint64 seconds, const QString &user, const QString &event);
    // Logs an entry of the kind now, for the logged-in user; a failure is logged as a warning.
    bool LogNow(MessageKind kind, const QString &event);
};

// The program's two message stores, made on first use from the home folder of the settings.
struct MessageStores {
    CMessageHisNew fresh;
    CMessageHis archive;
    [[nodiscard]] static MessageStores &Instance();
};
