#include "messages/CMessageHisNew.h"
#include "base/CvTime.h"
#include "messages/MessagesLog.h"

#include "base/AppSettings.h"
#include "messages/MessageCodec.h"

#include <QFile>
#include <QSaveFile>

CMessageHisNew::CMessageHisNew(const QString &homeFolder) : CMessageHis(homeFolder)
{
    const QString name = QLatin1String(kFileName);
    SetReadFile(name);
    SetWriteFile(name);
    QFile file(PathOf(name));
    if (!file.exists() && file.open(QIODevice::WriteOnly))
        file.close();
    (void)ReadFrom(0);
}

bool CMessageHisNew::TakeOverNewMessages()
{
    QFile file(PathOf(ReadFileName()));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    // A file shorter than what was taken over was emptied by another hand: start afresh.
    if (file.size() < m_takenLength)
        m_takenLength = 0;
    const qint64 size = file.size();
    file.close();
    if (!ReadFrom(m_takenLength))
        return false;
    m_takenLength = size;
    return true;
}

bool CMessageHisNew::CommitTakeOver()
{
    if (m_takenLength == 0)
        return true;
    const QString path = PathOf(ReadFileName());
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const qint64 taken = qMin(m_takenLength, file.size());
    if (!file.seek(taken))
        return false;
    // What was appended after the take-over moves to the front; the positions restart at 0.
    const std::uint8_t key = MessageCodec::DeriveKey(ReadFileName());
    const QByteArray rest = MessageCodec::Descramble(file.readAll(), key, taken);
    file.close();
    QSaveFile out(path);
    const QByteArray stored = MessageCodec::Scramble(rest, key, 0);
    if (!out.open(QIODevice::WriteOnly) || out.write(stored) != stored.size() || !out.commit())
        return false;
    m_takenLength = 0;
    return true;
}

bool CMessageHisNew::LogNow(MessageKind kind, const QString &event)
{
    const QString type = TypeWord(kind);
    if (Log(type, CvTime::Now(), AppSettings::Instance().UserName(), event))
        return true;
    qCWarning(lcMessages) << "message not saved:" << type << event;
    return false;
}

bool CMessageHisNew::Log(const QString &type, qint64 seconds, const QString &user, const QString &event)
{
    NewEntry();
    SetType(type);
    SetTime(seconds);
    SetUser(user);
    SetEvent(event);
    Commit();
    return Save();
}

MessageStores &MessageStores::Instance()
{
    static MessageStores stores{CMessageHisNew(AppSettings::Instance().HomeFolder()),
                                CMessageHis(AppSettings::Instance().HomeFolder())};
    return stores;
}
