#include "CliCommon.h"

int RunFrame(const cli::GlobalOptions &, QStringList)
{
    return cli::Fail(QStringLiteral("frame: not available yet"));
}

int RunPorts(const cli::GlobalOptions &, QStringList)
{
    return cli::Fail(QStringLiteral("ports: not available yet"));
}
