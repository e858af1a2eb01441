#include "messages/CUserStore.h"
#include "messages/MessagesLog.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QRegularExpression>
#include <QSaveFile>

#include <cstring>

namespace {

// Overwrites a temporary copy of the file before it goes out of scope.
class Wipe {
public:
    explicit Wipe(QByteArray &bytes) : m_bytes(bytes) {}
    ~Wipe() { m_bytes.fill(UserFile::kFiller); }
    Wipe(const Wipe &) = delete;
    Wipe &operator=(const Wipe &) = delete;

private:
    QByteArray &m_bytes;
};

// The index of the record named so in a plain image of count records; -1 when none is.
int FindRecord(const QByteArray &plain, int count, const QString &name)
{
    for (int i = 0; i < count; ++i) {
        if (UserFile::RecordName(plain, i) == name)
            return i;
    }
    return -1;
}

} // namespace

CUserStore &CUserStore::Instance()
{
    static CUserStore store;
    return store;
}

std::uint8_t CUserStore::Type(int index) const
{
    return index >= 0 && index < m_types.size() ? m_types.at(index) : 0;
}

int CUserStore::Find(const QString &name) const
{
    return m_names.indexOf(name);
}

UserFileStatus CUserStore::ReadPlain(QByteArray &plain) const
{
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly))
        return UserFileStatus::Missing;
    if (!UserFile::AccountCountForSize(file.size())) {
        qCWarning(lcMessages) << "user file has a bad size:" << file.size();
        return UserFileStatus::Damaged;
    }
    // Room for the largest valid file (plus one record to add) from the start: the image is
    // never moved to a larger block, which would free an unwiped copy of the plain bytes.
    const qint64 size = file.size();
    plain.reserve(UserFile::kMaxFileSize + UserFile::kRecordSize);
    plain.resize(size);
    if (file.read(plain.data(), size) != size || !UserFile::AccountCountForSize(plain.size()))
        return UserFileStatus::Damaged;
    UserFile::UnscrambleImage(plain);
    if (!UserFile::IsValidPlainImage(plain)) {
        qCWarning(lcMessages) << "user file holds an account of an unknown type or a name that is no text";
        return UserFileStatus::Damaged;
    }
    return UserFileStatus::Ok;
}

UserFileStatus CUserStore::Load()
{
    m_names.clear();
    m_types.clear();
    m_lastLogin = 255;
    QByteArray plain;
    Wipe wipe(plain);
    const UserFileStatus status = ReadPlain(plain);
    if (status != UserFileStatus::Ok)
        return status;
    const int count = *UserFile::AccountCountForSize(plain.size());
    m_lastLogin = static_cast<std::uint8_t>(plain[0]);
    m_seeds = {static_cast<std::uint8_t>(plain[1]), static_cast<std::uint8_t>(plain[2]),
               static_cast<std::uint8_t>(plain[3])};
    for (int i = 0; i < count; ++i) {
        m_names << UserFile::RecordName(plain, i);
        m_types << UserFile::RecordTypeBytes(plain, i)[0];
    }
    return UserFileStatus::Ok;
}

UserFileStatus CUserStore::ReadPlainWithRecord(int index, QByteArray &plain) const
{
    const UserFileStatus status = ReadPlain(plain);
    if (status != UserFileStatus::Ok)
        return status;
    if (index < 0 || index >= *UserFile::AccountCountForSize(plain.size()))
        return UserFileStatus::Refused;
    return UserFileStatus::Ok;
}

UserFileStatus CUserStore::ReadDigest(int index, UserFile::Digest &digest) const
{
    QByteArray plain;
    Wipe wipe(plain);
    const UserFileStatus status = ReadPlainWithRecord(index, plain);
    if (status == UserFileStatus::Ok)
        digest = UserFile::RecordDigest(plain, index);
    return status;
}

UserFileStatus CUserStore::ReadTypeBytes(int index, std::array<std::uint8_t, 3> &bytes) const
{
    QByteArray plain;
    Wipe wipe(plain);
    const UserFileStatus status = ReadPlainWithRecord(index, plain);
    if (status == UserFileStatus::Ok)
        bytes = UserFile::RecordTypeBytes(plain, index);
    return status;
}

UserFileStatus CUserStore::CheckPassword(int index, const QString &password, bool &matches) const
{
    matches = false;
    UserFile::Digest stored{};
    const UserFileStatus status = ReadDigest(index, stored);
    if (status == UserFileStatus::Ok)
        matches = stored == UserFile::PasswordDigest(password);
    stored.fill(static_cast<std::uint8_t>(UserFile::kFiller));
    return status;
}

int CUserStore::RemoveLeftoverCopies() const
{
    // A rewrite goes through a copy named after the file plus six characters; a crash during
    // the rewrite leaves it behind, holding names and digests.
    const QFileInfo info(m_path);
    const QRegularExpression copyName(QRegularExpression::anchoredPattern(
        QRegularExpression::escape(info.fileName()) + QStringLiteral("\\.[A-Za-z0-9]{6}")));
    int removed = 0;
    const QStringList entries =
        info.dir().entryList({info.fileName() + QStringLiteral(".*")}, QDir::Files | QDir::Hidden);
    for (const QString &name : entries) {
        if (!copyName.match(name).hasMatch())
            continue;
        if (QFile::remove(info.dir().filePath(name)))
            ++removed;
        else
            qCWarning(lcMessages) << "cannot remove the leftover copy" << name;
    }
    return removed;
}

UserFileStatus CUserStore::RememberLastLogin(int index)
{
    if (index < 0 || index > 255)
        return UserFileStatus::Refused;
    {
        QByteArray plain;
        Wipe wipe(plain);
        const UserFileStatus status = ReadPlain(plain);
        if (status == UserFileStatus::Damaged)
            return status;
    }
    QFile file(m_path);
    if (!file.open(QIODevice::ReadWrite | QIODevice::ExistingOnly))
        return UserFileStatus::WriteFailed;
    if (!UserFile::AccountCountForSize(file.size()))
        return UserFileStatus::Damaged;
    const char byte = static_cast<char>(index);
    if (!file.seek(0) || file.write(&byte, 1) != 1 || !file.flush())
        return UserFileStatus::WriteFailed;
    m_lastLogin = index;
    return UserFileStatus::Ok;
}

UserFile::Seeds CUserStore::DrawSeeds(UserFile::Seeds previous)
{
    const std::uint8_t oldKey = UserFile::StreamKey(previous);
    const std::uint8_t oldFirst = oldKey ^ UserFile::StreamChain(previous);
    QRandomGenerator *random = QRandomGenerator::global();
    for (;;) {
        const quint32 r = random->generate();
        const UserFile::Seeds s{static_cast<std::uint8_t>(r), static_cast<std::uint8_t>(r >> 8),
                                static_cast<std::uint8_t>(r >> 16)};
        const std::uint8_t k = UserFile::StreamKey(s);
        const std::uint8_t c = UserFile::StreamChain(s);
        // Every scrambled byte after the first differs by k, the first by k XOR c.
        if (k != 0 && c != 0 && k != oldKey && (k ^ c) != oldFirst)
            return s;
    }
}

UserFileStatus CUserStore::Rewrite(QByteArray &plain)
{
    const UserFile::Seeds seeds = DrawSeeds(m_seeds);
    plain[1] = static_cast<char>(seeds.s1);
    plain[2] = static_cast<char>(seeds.s2);
    plain[3] = static_cast<char>(seeds.s3);
    UserFile::ScrambleImage(plain);
    // Written beside the file and renamed over it: a failed write leaves the old file whole.
    QSaveFile file(m_path);
    if (!file.open(QIODevice::WriteOnly) || file.write(plain) != plain.size() || !file.commit()) {
        qCWarning(lcMessages) << "cannot write the user file" << m_path << file.errorString();
        return UserFileStatus::WriteFailed;
    }
    m_seeds = seeds;
    return Load();
}

UserFileStatus CUserStore::AddAccount(const QString &name, const QString &password, std::uint8_t type)
{
    const auto encoded = UserFile::EncodeName(name);
    if (!encoded || password.size() > kMaxPasswordLength)
        return UserFileStatus::Refused;
    QByteArray plain;
    Wipe wipe(plain);
    const UserFileStatus status = ReadPlain(plain);
    if (status != UserFileStatus::Ok)
        return status;
    const int count = *UserFile::AccountCountForSize(plain.size());
    if (count >= UserFile::kMaxAccounts)
        return UserFileStatus::Refused;
    if (FindRecord(plain, count, name) >= 0)
        return UserFileStatus::Refused;
    QByteArray record = UserFile::MakeRecord(name, UserFile::PasswordDigest(password), type);
    Wipe wipeRecord(record);
    plain.append(record);
    plain[4] = static_cast<char>(count + 1);
    return Rewrite(plain);
}

UserFileStatus CUserStore::ChangePassword(int index, const QString &password)
{
    if (password.size() > kMaxPasswordLength)
        return UserFileStatus::Refused;
    QByteArray plain;
    Wipe wipe(plain);
    const UserFileStatus status = ReadPlainWithRecord(index, plain);
    if (status != UserFileStatus::Ok)
        return status;
    const UserFile::Digest digest = UserFile::PasswordDigest(password);
    const int at = UserFile::kHeaderSize + UserFile::kRecordSize * index + UserFile::kNameSize;
    for (int i = 0; i < UserFile::kDigestSize; ++i)
        plain[at + i] = static_cast<char>(digest[static_cast<size_t>(i)]);
    return Rewrite(plain);
}

UserFileStatus CUserStore::DeleteAccount(const QString &name)
{
    QByteArray plain;
    Wipe wipe(plain);
    const UserFileStatus status = ReadPlain(plain);
    if (status != UserFileStatus::Ok)
        return status;
    const int count = *UserFile::AccountCountForSize(plain.size());
    const int index = FindRecord(plain, count, name);
    // The last account stays: a file without accounts is no valid user file.
    if (index < 0 || count <= 1)
        return UserFileStatus::Refused;
    const int at = UserFile::kHeaderSize + UserFile::kRecordSize * index;
    // The later records move up by one record; the bytes cut off the end are wiped first.
    char *data = plain.data();
    std::memmove(data + at, data + at + UserFile::kRecordSize,
                 static_cast<size_t>(plain.size() - at - UserFile::kRecordSize));
    std::memset(data + plain.size() - UserFile::kRecordSize, UserFile::kFiller, UserFile::kRecordSize);
    plain.chop(UserFile::kRecordSize);
    plain[4] = static_cast<char>(count - 1);
    // The last-login byte keeps naming the same account where it still exists.
    const int last = static_cast<std::uint8_t>(plain[0]);
    if (last > index && last < count)
        plain[0] = static_cast<char>(last - 1);
    return Rewrite(plain);
}

UserFileStatus CUserStore::CreateFile(const QString &name, const QString &password, std::uint8_t type)
{
    if (!UserFile::EncodeName(name) || password.size() > kMaxPasswordLength)
        return UserFileStatus::Refused;
    QByteArray plain(UserFile::kHeaderSize, '\0');
    Wipe wipe(plain);
    plain[4] = 1;
    QByteArray record = UserFile::MakeRecord(name, UserFile::PasswordDigest(password), type);
    Wipe wipeRecord(record);
    plain.append(record);
    return Rewrite(plain);
}
