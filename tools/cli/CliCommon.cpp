#include "CliCommon.h"
#include "CommandTable.h"

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

int UsageOf(const char *command)
{
    const CommandInfo *info = FindCommand(QLatin1String(command));
    const QString usage = info ? QString::fromLatin1(info->usage) : QString::fromLatin1(command);
    for (const QString &line : usage.split(QLatin1Char('\n')))
        std::fprintf(stderr, line.startsWith(QLatin1Char(' ')) ? "%s\n" : "usage: corvane-cli %s\n",
                     line.toUtf8().constData());
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
