#pragma once

#include "storage/CNodeDataSave.h"

#include <QByteArray>
#include <QString>

#include <array>
#include <optional>

// The data file (".cvdf"): one time range of one logger's history as a fixed-width text,
// scrambled byte by byte with five key bytes stored at its head. Pure codecs first, then the
// class that writes the sample store's range and reads a file back into the store.
namespace DataFile {

using Key = std::array<quint8, 5>;

inline constexpr int kKeyBytes = 5;
inline constexpr int kHeaderChars = 163;   // plain text before the samples
inline constexpr int kMinimumLength = 168; // key + header; a valid file is longer
inline constexpr int kValueWidth = 7;
inline constexpr int kNameWidth = 32;
inline constexpr int kNodeKeyWidth = 16;

// The text at position i is chained to the plain character before it.
[[nodiscard]] QByteArray Scramble(const QByteArray &plain, const Key &key);
[[nodiscard]] QByteArray Unscramble(const QByteArray &stored, const Key &key);

// "%4.2f" of the value, right-padded with blanks to 7 characters or cut to its first 7.
[[nodiscard]] QByteArray ValueField(double value);
// Decimal conversion with leading blanks allowed; whatever cannot be read gives 0.
[[nodiscard]] double ReadDecimal(const char *field, int width);
[[nodiscard]] qint64 ReadInteger(const char *field, int width);

// The plain text of the store's selected range; empty when the store holds no range or a
// header field does not fit its width (such a file could not be read back).
[[nodiscard]] QByteArray BuildText(const CNodeDataSave &store);
// Key bytes followed by the scrambled text; empty when BuildText refuses.
[[nodiscard]] QByteArray BuildFile(const CNodeDataSave &store, const Key &key);
// Why a file was refused.
enum class Fault {
    None,
    Unreadable,   // cannot be read, or larger than any data file
    TooShort,     // 168 bytes or fewer
    NoChannels,   // the device type names no channel
    BadCount,     // no sample, or more than the store holds
    SizeMismatch, // the sample part does not match the count and channels
    BadDate,      // start or end is no valid local time
    BadInterval,  // below 1 second: times would stand still or run backwards
    BadValue,     // a value overflows a float
};
// A short English description of the fault (corvane-cli).
[[nodiscard]] QString FaultText(Fault fault);

// Reads a whole file into the store. The store changes only when the file is valid: longer
// than 168 bytes, its sample part matching the announced count and channels, the count within
// the store's capacity, valid dates, an interval of at least 1 second and finite values.
[[nodiscard]] Fault ReadFile(const QByteArray &file, CNodeDataSave &store);
// ReadFile as 1 on success, 0 otherwise.
[[nodiscard]] int ParseFile(const QByteArray &file, CNodeDataSave &store);

} // namespace DataFile

class CCorvFile {
public:
    explicit CCorvFile(CNodeDataSave &store) : m_store(store) {}

    // Writes the store's current range to path with a fresh random key. 1 on success; 0 when
    // nothing is loaded, the header does not fit or the file cannot be written (an existing
    // file is then left as it was).
    [[nodiscard]] int SaveDataFile(const QString &path);
    // Reads path into the sample store; 1 on success, 0 otherwise (the store unchanged).
    [[nodiscard]] int OpenDataFile(const QString &path);
    // A path chosen in the open dialog: refused unless its extension is exactly "cvdf";
    // otherwise read, and the chosen folder remembered whatever the result.
    [[nodiscard]] int OpenChosenDataFile(const QString &path);
    [[nodiscard]] DataFile::Key KeyBytes() const { return m_key; }
    // Why the last OpenDataFile failed.
    [[nodiscard]] DataFile::Fault LastFault() const { return m_fault; }

    // Remembered folders of the open and save dialogs in the settings file, and the folder a
    // dialog starts in: the remembered one when it exists, else the home's datasave folder
    // (made when missing).
    [[nodiscard]] static QString RememberedOpenFolder();
    [[nodiscard]] static QString RememberedSaveFolder();
    static bool RememberOpenFolder(const QString &chosenPath);
    static bool RememberSaveFolder(const QString &chosenPath);
    [[nodiscard]] static QString InitialFolder(const QString &remembered);

private:
    CNodeDataSave &m_store;
    DataFile::Key m_key{};
    DataFile::Fault m_fault = DataFile::Fault::None;
};
