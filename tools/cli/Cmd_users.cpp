#include "CliCommon.h"

#include "base/AppSettings.h"
#include "messages/CUserStore.h"

#include <QFile>

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
    return RunMessagesDump(args.at(1));
}
