#pragma once

#include "messages/UserFileCodec.h"

#include <QString>
#include <QStringList>
#include <QVector>

#include <array>
#include <cstdint>

// Outcome of an operation on the user file.
enum class UserFileStatus {
    Ok,
    Missing,     // the file cannot be opened for reading: no accounts, no message
    Damaged,     // wrong size: "错误:文件损坏user.ruf"
    WriteFailed, // the file could not be (re)written; it is unchanged
    Refused,     // the request itself is invalid (unknown account, name or password too long, ...)
};

// The accounts of the user file. The list of names and types is loaded once and reloaded after
// each change; digests and type bytes are always read from a fresh copy of the file, and every
// temporary copy is wiped with the filler byte before it is freed.
class CUserStore {
public:
    static constexpr std::uint8_t kAdministrator = 1;
    static constexpr std::uint8_t kOrdinaryUser = 2;
    static constexpr int kMaxPasswordLength = UserFile::kDigestSize;
    static constexpr int kMinPasswordLength = 6;

    // The logged-in account, as the login dialog set it.
    struct LoginState {
        QString name;
        int index = -1;
        std::array<std::uint8_t, 3> typeBytes{};
        [[nodiscard]] bool IsValid() const { return index >= 0; }
    };

    // The program's one user store.
    [[nodiscard]] static CUserStore &Instance();

    void SetFilePath(const QString &path) { m_path = path; }
    [[nodiscard]] QString FilePath() const { return m_path; }

    // Removes copies of the file that an interrupted rewrite of an earlier run left beside it
    // (start-up); returns how many were removed.
    int RemoveLeftoverCopies() const;

    // Counts the accounts from the file size and reads their names and types.
    [[nodiscard]] UserFileStatus Load();
    [[nodiscard]] int Count() const { return static_cast<int>(m_names.size()); }
    [[nodiscard]] const QStringList &Names() const { return m_names; }
    [[nodiscard]] std::uint8_t Type(int index) const;
    // Byte 0 of the file when it was loaded; 255 when the file could not be read.
    [[nodiscard]] int LastLoginIndex() const { return m_lastLogin; }
    // Exact, case-sensitive; -1 when unknown.
    [[nodiscard]] int Find(const QString &name) const;

    [[nodiscard]] UserFileStatus ReadDigest(int index, UserFile::Digest &digest) const;
    [[nodiscard]] UserFileStatus ReadTypeBytes(int index, std::array<std::uint8_t, 3> &bytes) const;
    // Compares the digest of a typed password with the stored one.
    [[nodiscard]] UserFileStatus CheckPassword(int index, const QString &password, bool &matches) const;

    // Writes byte 0 of the file in place.
    [[nodiscard]] UserFileStatus RememberLastLogin(int index);
    // The three operations below rewrite the whole file with fresh seeds and reload the list.
    [[nodiscard]] UserFileStatus AddAccount(const QString &name, const QString &password, std::uint8_t type);
    [[nodiscard]] UserFileStatus ChangePassword(int index, const QString &password);
    [[nodiscard]] UserFileStatus DeleteAccount(const QString &name);
    // Writes a new file holding one account (the installation's initial file); the program
    // itself never makes one.
    [[nodiscard]] UserFileStatus CreateFile(const QString &name, const QString &password, std::uint8_t type);

    [[nodiscard]] const LoginState &Login() const { return m_login; }
    void SetLogin(const LoginState &login) { m_login = login; }

    // Draws new seeds whose stream differs from the previous one in every scrambled byte.
    [[nodiscard]] static UserFile::Seeds DrawSeeds(UserFile::Seeds previous);

private:
    // Reads the plain image of the file (size checked); the caller wipes it.
    [[nodiscard]] UserFileStatus ReadPlain(QByteArray &plain) const;
    // ReadPlain, refused when the image holds no record at index.
    [[nodiscard]] UserFileStatus ReadPlainWithRecord(int index, QByteArray &plain) const;
    // Scrambles the plain image with fresh seeds and replaces the file atomically; wipes it.
    [[nodiscard]] UserFileStatus Rewrite(QByteArray &plain);

    QString m_path;
    QStringList m_names;
    QVector<std::uint8_t> m_types;
    int m_lastLogin = 255;
    UserFile::Seeds m_seeds;
    LoginState m_login;
};
