// corvane-cli frame request JSON: the 64-byte request buffer the link builds for a request.
#include "CliCommon.h"
#include "FrameRequestJson.h"

#include "base/CvTime.h"

#include <QFile>

int FrameRequest(QStringList args)
{
    if (args.size() != 1)
        return cli::UsageOf("frame");
    QByteArray text = args.first().toUtf8();
    if (args.first() == QLatin1String("-")) {
        QFile in;
        if (!in.open(stdin, QIODevice::ReadOnly))
            return cli::Fail(QStringLiteral("frame request: cannot read standard input"));
        text = in.read(1 << 16);
    }
    const FrameRequestResult result = BuildFrameRequest(text, CvTime::Now());
    if (!result.error.isEmpty())
        return cli::Fail(QStringLiteral("frame request: ") + result.error);
    cli::PrintJson(result.json);
    return 0;
}
