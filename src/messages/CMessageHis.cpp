#include "messages/CMessageHis.h"
#include "messages/MessagesLog.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "messages/MessageCodec.h"

#include <QDir>
#include <QFile>

CMessageHis::CMessageHis(const QString &homeFolder)
    : m_settingsFile(homeFolder + QStringLiteral("/profiler/sysmaneger.ini")),
      m_folder(homeFolder + QStringLiteral("/message"))
{
    m_index.reserve(kInitialIndexCapacity);
    const AppSettings::Key key = AppSettings::kLastMessageFile;
    m_rememberedMonth =
        AppSettings::ReadIniKey(m_settingsFile, QLatin1String(key.section), QLatin1String(key.key));
    // The month is read when a view or a command asks for it (LoadMonth), not at start-up: a big
    // archive would otherwise delay the login window.
    SetReadFile(m_rememberedMonth);
}

CMessageHis::CMessageHis()
{
    m_index.reserve(kInitialIndexCapacity);
}

CMessageHis::~CMessageHis() = default;

QString CMessageHis::PathOf(const QString &name) const
{
    return m_folder + QLatin1Char('/') + name;
}

void CMessageHis::SetReadFile(const QString &name)
{
    m_readName = name;
    m_readKey = MessageCodec::DeriveKey(name);
}

void CMessageHis::SetWriteFile(const QString &name)
{
    m_writeName = name;
    m_writeKey = MessageCodec::DeriveKey(name);
}

void CMessageHis::NewEntry()
{
    m_pending.clear();
}

void CMessageHis::SetType(const QString &type)
{
    m_pending += MessageCodec::kTypeTag + type.toUtf8() + MessageCodec::kFieldEnd;
}

void CMessageHis::SetTime(qint64 seconds)
{
    m_pending += MessageCodec::kTimeTag + CvTime::FormatDateTime(seconds).toUtf8() + MessageCodec::kFieldEnd;
}

void CMessageHis::SetUser(const QString &user)
{
    m_pending += MessageCodec::kUserTag + MessageCodec::Escape(user).toUtf8() + MessageCodec::kFieldEnd;
}

void CMessageHis::SetEvent(const QString &event)
{
    m_pending += MessageCodec::kEventTag + MessageCodec::Escape(event).toUtf8() + MessageCodec::kFieldEnd;
}

void CMessageHis::Commit()
{
    if (m_pending.isEmpty())
        return;
    m_unsaved += QByteArray("<") + MessageCodec::kBegin + m_pending + MessageCodec::kEnd;
    m_pending.clear();
}

bool CMessageHis::AppendToWriteFile(const QByteArray &plain, bool createWithHeader)
{
    if (m_writeName.isEmpty() || m_folder.isEmpty())
        return false;
    // A home folder made by hand may lack the message folder; the messages must not be lost.
    if (!QDir().mkpath(m_folder))
        return false;
    QFile file(PathOf(m_writeName));
    const bool existed = file.exists();
    if (!file.open(QIODevice::ReadWrite | QIODevice::Append)) {
        qCWarning(lcMessages) << "cannot open" << file.fileName() << file.errorString();
        return false;
    }
    const qint64 oldSize = file.size();
    QByteArray bytes;
    if (createWithHeader && !existed && oldSize == 0)
        bytes = m_writeName.toLatin1();
    bytes += plain;
    const QByteArray stored = MessageCodec::Scramble(bytes, m_writeKey, oldSize);
    if (file.write(stored) != stored.size() || !file.flush()) {
        qCWarning(lcMessages) << "cannot write" << file.fileName() << file.errorString();
        (void)file.resize(oldSize);
        return false;
    }
    return true;
}

bool CMessageHis::Save()
{
    if (m_unsaved.isEmpty())
        return false;
    if (!AppendToWriteFile(m_unsaved, false))
        return false;
    m_unsaved.clear();
    return true;
}

bool CMessageHis::SaveToMonth(qint64 seconds)
{
    if (m_unsaved.isEmpty())
        return false;
    const CvTime::LocalFields f = CvTime::ToLocal(seconds);
    const QString name = MessageCodec::MonthlyFileName(f.year, f.month);
    if (name.isEmpty())
        return false;
    if (name != m_writeName)
        SetWriteFile(name);
    if (!AppendToWriteFile(m_unsaved, true))
        return false;
    m_unsaved.clear();
    // The settings file is rewritten (and synced) only when the month changes.
    if (name == m_rememberedMonth)
        return true;
    const AppSettings::Key key = AppSettings::kLastMessageFile;
    if (AppSettings::WriteIniKey(m_settingsFile, QLatin1String(key.section), QLatin1String(key.key), name))
        m_rememberedMonth = name;
    else
        qCWarning(lcMessages) << "cannot remember the last monthly file" << name;
    return true;
}

bool CMessageHis::HasNewMessages() const
{
    QFile file(PathOf(m_readName));
    if (m_readName.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    return file.size() - m_takenLength > kNoMessageSize;
}

bool CMessageHis::ReadFrom(qint64 offset)
{
    QFile file(PathOf(m_readName));
    if (m_readName.isEmpty() || !file.open(QIODevice::ReadOnly))
        return false;
    if (file.size() > MessageCodec::kMaxFileBytes) {
        qCWarning(lcMessages) << "message file" << m_readName << "is larger than any message file can be";
        return false;
    }
    if (offset > 0 && !file.seek(offset))
        return false;
    m_loaded = MessageCodec::Descramble(file.readAll(), m_readKey, offset);
    return true;
}

bool CMessageHis::LoadMonth(std::optional<qint64> seconds)
{
    if (seconds) {
        const CvTime::LocalFields f = CvTime::ToLocal(*seconds);
        const QString name = MessageCodec::MonthlyFileName(f.year, f.month);
        if (name.isEmpty())
            return false;
        SetReadFile(name);
    }
    m_loaded.clear();
    m_current.clear();
    m_recordCount = 0;
    m_index.clear();
    if (!ReadFrom(0))
        return false;
    IndexRecords();
    return true;
}

void CMessageHis::SetLoadedText(const QByteArray &text)
{
    m_loaded = text;
    m_current.clear();
    IndexRecords();
}

void CMessageHis::ClearLoadedText()
{
    m_loaded.clear();
    m_current.clear();
    m_index.clear();
    m_recordCount = 0;
}

bool CMessageHis::FindRecord(int pos, int &begin, int &end) const
{
    const int beginSize = static_cast<int>(sizeof(MessageCodec::kBegin)) - 1;
    begin = m_loaded.indexOf(MessageCodec::kBegin, qMax(0, pos));
    while (begin >= 0) {
        end = m_loaded.indexOf(MessageCodec::kEnd, begin + beginSize);
        if (end < 0)
            return false;
        const int later = m_loaded.indexOf(MessageCodec::kBegin, begin + beginSize);
        if (later < 0 || later > end)
            return true;
        begin = later;
    }
    return false;
}

int CMessageHis::IndexRecords()
{
    // Sized for 50000 records at first and grown past that.
    m_index.clear();
    m_index.reserve(kInitialIndexCapacity);
    const int endSize = static_cast<int>(sizeof(MessageCodec::kEnd)) - 1;
    int pos = 0;
    int begin = 0;
    int end = 0;
    while (FindRecord(pos, begin, end)) {
        m_index.push_back(begin);
        pos = end + endSize;
    }
    m_recordCount = static_cast<int>(m_index.size());
    return m_recordCount;
}

bool CMessageHis::GetRecord(int index)
{
    m_current.clear();
    if (index < 0 || index >= static_cast<int>(m_index.size()))
        return false;
    int begin = 0;
    int end = 0;
    if (!FindRecord(m_index[static_cast<size_t>(index)], begin, end))
        return false;
    const int beginSize = static_cast<int>(sizeof(MessageCodec::kBegin)) - 1;
    m_current = m_loaded.mid(begin + beginSize, end - begin - beginSize);
    return true;
}

int CMessageHis::GetNextRecord(int position)
{
    m_current.clear();
    int begin = 0;
    int end = 0;
    if (!FindRecord(position, begin, end))
        return -1;
    const int beginSize = static_cast<int>(sizeof(MessageCodec::kBegin)) - 1;
    m_current = m_loaded.mid(begin + beginSize, end - begin - beginSize);
    return end;
}

QString CMessageHis::Field(const char *tag) const
{
    const int at = m_current.indexOf(tag);
    if (at < 0)
        return {};
    const int start = at + static_cast<int>(qstrlen(tag));
    const int stop = m_current.indexOf(MessageCodec::kFieldEnd, start);
    if (stop < 0)
        return {};
    return QString::fromUtf8(m_current.mid(start, stop - start));
}

QString CMessageHis::TimeText() const
{
    return Field(MessageCodec::kTimeTag);
}

QString CMessageHis::TypeText() const
{
    return Field(MessageCodec::kTypeTag);
}

QString CMessageHis::UserText() const
{
    return MessageCodec::Unescape(Field(MessageCodec::kUserTag));
}

QString CMessageHis::EventText() const
{
    return MessageCodec::Unescape(Field(MessageCodec::kEventTag));
}
