// corvane-cli messages month and messages take-over: the history page's month and the archiving
// of the message view, without windows.
#include "CliCommon.h"

#include "base/AppSettings.h"
#include "base/CvTime.h"
#include "messages/CMessageHisNew.h"
#include "messages/MessageCodec.h"
#include "messages/MessageListModels.h"
#include "messages/MessageTakeOver.h"

#include <QFile>
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

QJsonObject RowJson(const MessageRow &row)
{
    return {{QStringLiteral("type"), row.type},
            {QStringLiteral("time"), row.time},
            {QStringLiteral("user"), row.user},
            {QStringLiteral("event"), row.event}};
}

} // namespace

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
        cli::PrintJson(RowJson(model.RowAt(row)));
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
        cli::PrintJson(RowJson(row));
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
