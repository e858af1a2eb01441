// corvane-cli messages dump, messages month and messages take-over: a message file, the history
// page's month and the archiving of the message view, without windows.
#include "CliCommon.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "messages/CMessageHisNew.h"
#include "messages/MessageCodec.h"
#include "messages/MessageListModels.h"
#include "messages/MessageTakeOver.h"

#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QLocale>
#include <QRegularExpression>

namespace {

// The type words are those of the configured language (and of the other one).
MessageWords ConfiguredWords()
{
    AppSettings::Instance().LoadStartupSettings(QLocale::system());
    return MessageWords::Load();
}

// One line per message; a month holds tens of thousands of them.
void PrintRow(const QString &type, const QString &time, const QString &user, const QString &event)
{
    cli::TextFieldsLine().Add("event", event).Add("time", time).Add("type", type).Add("user", user).Write();
}

void PrintRow(const MessageRow &row)
{
    PrintRow(row.type, row.time, row.user, row.event);
}

} // namespace

int RunMessagesDump(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return cli::Fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    const QString name = QFileInfo(path).fileName();
    if (file.size() > MessageCodec::kMaxFileBytes)
        return cli::Fail(QStringLiteral("%1 is damaged (larger than any message file can be)").arg(path));
    const std::uint8_t key = MessageCodec::DeriveKey(name);
    // The start is checked before the whole file is read.
    if (!MessageCodec::LeadIsSound(
            MessageCodec::Descramble(file.read(MessageCodec::LeadLength(name)), key, 0), name))
        return cli::Fail(QStringLiteral("%1 is damaged (no message file of this name)").arg(path));
    if (!file.seek(0))
        return cli::Fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    const QByteArray text = MessageCodec::Descramble(file.readAll(), key, 0);
    const int stray = MessageCodec::FirstStrayByte(text, name);
    if (stray >= 0)
        return cli::Fail(
            QStringLiteral("%1 is damaged (unreadable content at byte %2)").arg(path).arg(stray));
    // The records go through the store's own reader, the one the message views use.
    CMessageHis reader;
    reader.SetLoadedText(text);
    for (int pos = 0; (pos = reader.GetNextRecord(pos)) >= 0;)
        PrintRow(reader.TypeText(), reader.TimeText(), reader.UserText(), reader.EventText());
    return 0;
}

int RunMessagesMonth(const QStringList &args)
{
    static const QRegularExpression form(QStringLiteral("^(\\d{4})-(\\d{2})$"));
    const QRegularExpressionMatch m = args.size() == 1 ? form.match(args.first()) : QRegularExpressionMatch();
    const std::optional<qint64> time =
        m.hasMatch() ? CvTime::FromLocal({m.captured(1).toInt(), m.captured(2).toInt(), 1, 12, 0, 0})
                     : std::nullopt;
    if (!time)
        return cli::UsageOf("messages");
    const QString home = AppSettings::Instance().HomeFolder();
    CMessageHis archive(home);
    MessageHistoryModel model(archive, ConfiguredWords());
    const QString name = MessageCodec::MonthlyFileName(m.captured(1).toInt(), m.captured(2).toInt());
    const QString path = archive.MessageFolder() + QLatin1Char('/') + name;
    if (!model.LoadMonth(*time)) {
        // No file: nothing was archived that month.
        if (QFile::exists(path))
            return cli::Fail(QStringLiteral("cannot read %1").arg(path));
        return 0;
    }
    for (int row = 0; row < model.rowCount(); ++row)
        PrintRow(model.RowAt(row));
    return 0;
}

int RunMessagesTakeOver(const QStringList &args)
{
    if (!args.isEmpty())
        return cli::UsageOf("messages");
    const QString home = AppSettings::Instance().HomeFolder();
    CMessageHisNew fresh(home);
    CMessageHis archive(home);
    const TakeOverResult result = TakeOverMessages(fresh, archive, ConfiguredWords(), CvTime::Now());
    if (!result.opened)
        return cli::Fail(
            QStringLiteral("cannot open the new-messages file in %1").arg(fresh.MessageFolder()));
    for (const MessageRow &row : result.archived)
        PrintRow(row);
    QJsonArray files;
    for (const QString &file : result.monthFiles)
        files.append(file);
    cli::PrintJson({{QStringLiteral("taken"), int(result.all.size())},
                    {QStringLiteral("archived"), int(result.archived.size())},
                    {QStringLiteral("unreadableTimes"), result.unreadable},
                    {QStringLiteral("files"), files}});
    if (!result.saved)
        return cli::Fail(QStringLiteral("a monthly file could not be written; the messages stay in the "
                                        "new-messages file for the next take-over"));
    return 0;
}
