#include "CliCommon.h"

int RunUsers(const cli::GlobalOptions &, QStringList)
{
    return cli::Fail(QStringLiteral("users: not available yet"));
}

int RunMessages(const cli::GlobalOptions &, QStringList)
{
    return cli::Fail(QStringLiteral("messages: not available yet"));
}
