#include "CliCommon.h"

int RunDb(const cli::GlobalOptions &, QStringList)
{
    return cli::Fail(QStringLiteral("db: not available yet"));
}
