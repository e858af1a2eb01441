#include "CliCommon.h"

int RunMonitor(const cli::GlobalOptions &, QStringList)
{
    return cli::Fail(QStringLiteral("monitor: not available yet"));
}
