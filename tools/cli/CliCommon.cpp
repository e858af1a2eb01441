#include "CliCommon.h"

#include <QJsonDocument>

#include <cstdio>

namespace cli {

void PrintJson(const QJsonObject &object)
{
    PrintLine(QString::fromUtf8(QJsonDocument(object).toJson(QJsonDocument::Compact)));
}

void PrintLine(const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<size_t>(bytes.size()), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

int Fail(const QString &message)
{
    std::fprintf(stderr, "corvane-cli: %s\n", message.toUtf8().constData());
    return 1;
}

int Usage(const QString &usage)
{
    std::fprintf(stderr, "usage: corvane-cli %s\n", usage.toUtf8().constData());
    return 2;
}

bool TakeOption(QStringList &args, const QString &name, QString &value)
{
    const int i = args.indexOf(name);
    if (i < 0 || i + 1 >= args.size())
        return false;
    value = args.at(i + 1);
    args.remove(i, 2);
    return true;
}

bool TakeFlag(QStringList &args, const QString &name)
{
    return args.removeAll(name) > 0;
}

} // namespace cli
