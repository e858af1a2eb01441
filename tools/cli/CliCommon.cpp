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

void AppendJsonString(QByteArray &out, const QString &text)
{
    static const char hex[] = "0123456789abcdef";
    const QByteArray utf8 = text.toUtf8();
    out += '"';
    qsizetype plainFrom = 0;
    for (qsizetype i = 0; i < utf8.size(); ++i) {
        const auto u = static_cast<unsigned char>(utf8[i]);
        if (u >= 0x20 && u != '"' && u != '\\')
            continue;
        out.append(utf8.constData() + plainFrom, i - plainFrom);
        plainFrom = i + 1;
        const char *shortForm = u == '"'    ? "\\\""
                                : u == '\\' ? "\\\\"
                                : u == '\b' ? "\\b"
                                : u == '\f' ? "\\f"
                                : u == '\n' ? "\\n"
                                : u == '\r' ? "\\r"
                                : u == '\t' ? "\\t"
                                            : nullptr;
        if (shortForm) {
            out += shortForm;
        } else {
            const char code[] = {'\\', 'u', '0', '0', hex[u >> 4], hex[u & 0xF]};
            out.append(code, sizeof code);
        }
    }
    out.append(utf8.constData() + plainFrom, utf8.size() - plainFrom);
    out += '"';
}

TextFieldsLine &TextFieldsLine::Add(const char *key, const QString &value)
{
    m_line += m_line.isEmpty() ? '{' : ',';
    m_line += '"';
    m_line += key;
    m_line += "\":";
    AppendJsonString(m_line, value);
    return *this;
}

void TextFieldsLine::Write()
{
    m_line += m_line.isEmpty() ? "{}\n" : "}\n";
    std::fwrite(m_line.constData(), 1, static_cast<size_t>(m_line.size()), stdout);
    m_line.clear();
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
