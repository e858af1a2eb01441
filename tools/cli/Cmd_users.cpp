#include "CliCommon.h"

#include "base/AppSettings.h"
#include "messages/CMessageHis.h"
#include "messages/CUserStore.h"
#include "messages/MessageCodec.h"

#include <QFile>
#include <QFileInfo>

int RunUsers(const cli::GlobalOptions &, QStringList args)
{
    QString home;
    if (cli::TakeOption(args, QStringLiteral("--home"), home))
        AppSettings::Instance().SetHomeFolder(home);
    if (!args.isEmpty())
        return cli::UsageOf("users");
    CUserStore store;
    store.SetFilePath(AppSettings::Instance().UserFilePath());
    switch (store.Load()) {
    case UserFileStatus::Ok:
        break;
    case UserFileStatus::Damaged:
        return cli::Fail(
            QStringLiteral("user file damaged (bad size, unknown account type or a name that is no text): %1")
                .arg(store.FilePath()));
    default:
        return cli::Fail(QStringLiteral("cannot read the user file %1").arg(store.FilePath()));
    }
    for (int i = 0; i < store.Count(); ++i) {
        cli::PrintJson({{QStringLiteral("index"), i},
                        {QStringLiteral("name"), store.Names().at(i)},
                        {QStringLiteral("type"), store.Type(i)},
                        {QStringLiteral("lastLogin"), i == store.LastLoginIndex()}});
    }
    return 0;
}

int RunMessages(const cli::GlobalOptions &, QStringList args)
{
    if (!args.isEmpty() && args.first() == QLatin1String("month"))
        return RunMessagesMonth(args.mid(1));
    if (!args.isEmpty() && args.first() == QLatin1String("take-over"))
        return RunMessagesTakeOver(args.mid(1));
    if (args.size() != 2 || args.first() != QLatin1String("dump"))
        return cli::UsageOf("messages");
    const QString path = args.at(1);
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
    for (int pos = 0; (pos = reader.GetNextRecord(pos)) >= 0;) {
        cli::PrintJson({{QStringLiteral("type"), reader.TypeText()},
                        {QStringLiteral("time"), reader.TimeText()},
                        {QStringLiteral("user"), reader.UserText()},
                        {QStringLiteral("event"), reader.EventText()}});
    }
    return 0;
}
