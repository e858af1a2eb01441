#include "CliCommon.h"

int RunHistory(const cli::GlobalOptions &, QStringList)
{
    return cli::Fail(QStringLiteral("history: not available yet"));
}

int RunDatafile(const cli::GlobalOptions &, QStringList)
{
    return cli::Fail(QStringLiteral("datafile: not available yet"));
}
