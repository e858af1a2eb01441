// corvane-cli frame ... and ports: answer frames and the port table, without a window.
#include "CliCommon.h"
#include "ReplyJson.h"

#include "link/AffairReply.h"
#include "link/CUart_CommApp.h"
#include "link/ComPort.h"
#include "link/FrameCodec.h"

#include <QFile>
#include <QJsonArray>

#include <cmath>
#include <functional>
#include <map>

using namespace FrameCodec;

namespace {

const quint8 *U8(const QByteArray &bytes)
{
    return reinterpret_cast<const quint8 *>(bytes.constData());
}

// Hex digits with optional white space; false for anything else or an odd digit count.
bool ParseHex(const QString &text, QByteArray &out)
{
    QByteArray digits;
    for (const QChar c : text) {
        if (c.isSpace())
            continue;
        if (!std::isxdigit(static_cast<unsigned char>(c.toLatin1())) || c.unicode() > 0x7F)
            return false;
        digits.append(c.toLatin1());
    }
    if (digits.isEmpty() || digits.size() % 2 != 0)
        return false;
    out = QByteArray::fromHex(digits);
    return true;
}

// Prints every record offered (each frame that passed trailer and check byte); accepts the
// complete ones as the link's interim handler does.
class PrintingHandler : public IReplyHandler {
public:
    bool HandleReply(AffairReply &reply) override
    {
        cli::PrintJson(cli::ReplyToJson(reply));
        return reply.IsComplete();
    }
};

int FrameDecode(QStringList args)
{
    if (args.size() != 1)
        return cli::UsageOf("frame");
    QByteArray frame;
    if (!ParseHex(args.first(), frame))
        return cli::Fail(QStringLiteral("frame decode: not a hexadecimal byte string"));
    const int size = int(frame.size());
    if (size < kMinAnswerLength || std::memcmp(frame.constData(), kHeader.data(), kHeader.size()) != 0)
        return cli::Fail(QStringLiteral("frame decode: no answer header FF 7F 75 7B at the start"));
    const std::optional<Command> answer = AnswerCommand(U8(frame) + 4);
    if (!answer)
        return cli::Fail(QStringLiteral("frame decode: unknown answer code"));
    const Command command = *answer;
    int total = AnswerLength(command);
    if (command == Command::DLD)
        total = size > kDldCountOffset ? kDldBaseLength + U8(frame)[kDldCountOffset] : kDldBaseLength;
    else if (command == Command::GMD && size == kGmdLongLength)
        total = kGmdLongLength;
    if (size != total)
        return cli::Fail(QStringLiteral("frame decode: %1 bytes, a %2 answer has %3")
                             .arg(size)
                             .arg(QString::fromLatin1(CommandCode(command)))
                             .arg(total));
    if (!HasTrailer(U8(frame), total))
        return cli::Fail(QStringLiteral("frame decode: trailer 7F 7E 7D FF missing"));
    if (!HasAnswerCheckByte(U8(frame), total))
        return cli::Fail(QStringLiteral("frame decode: check byte %1, expected %2")
                             .arg(U8(frame)[total - 1], 2, 16, QLatin1Char('0'))
                             .arg(AnswerCheckByte(U8(frame), total - 1), 2, 16, QLatin1Char('0')));
    AffairReply reply;
    if (!DecodeAnswer(U8(frame), total, command, reply))
        return cli::Fail(QStringLiteral("frame decode: cannot decode"));
    cli::PrintJson(cli::ReplyToJson(reply));
    return 0;
}

int FrameExtract(QStringList args)
{
    QString chunkText;
    qint64 chunk = 0; // 0: one chunk per read
    if (args.contains(QStringLiteral("--chunk"))) {
        bool ok = false;
        if (!cli::TakeOption(args, QStringLiteral("--chunk"), chunkText))
            return cli::UsageOf("frame");
        chunk = chunkText.toLongLong(&ok);
        if (!ok || chunk < 1)
            return cli::Fail(QStringLiteral("frame extract: --chunk needs a positive number"));
    }
    if (args.size() > 1)
        return cli::UsageOf("frame");
    QFile input;
    bool opened = false;
    if (args.isEmpty() || args.first() == QLatin1String("-")) {
        opened = input.open(stdin, QIODevice::ReadOnly | QIODevice::Unbuffered);
    } else {
        input.setFileName(args.first());
        opened = input.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
    }
    if (!opened)
        return cli::Fail(
            QStringLiteral("frame extract: cannot read %1: %2")
                .arg(args.isEmpty() ? QStringLiteral("standard input") : args.first(), input.errorString()));

    CUart_CommApp link;
    PrintingHandler handler;
    link.SetReplyHandler(&handler);
    const qint64 readSize = chunk > 0 ? chunk : LsComm::CSerialPort::kReadChunk;
    QByteArray buffer(int(std::min<qint64>(readSize, 1 << 20)), '\0');
    QByteArray pending;
    for (;;) {
        const qint64 n = input.read(buffer.data(), buffer.size());
        if (n < 0)
            return cli::Fail(QStringLiteral("frame extract: read error: %1").arg(input.errorString()));
        if (n == 0)
            break;
        if (chunk == 0) {
            link.OnReceive(U8(buffer), n);
            continue;
        }
        // Exact chunk sizes even when a read returns less (pipes) or a chunk exceeds one read.
        pending.append(buffer.constData(), int(n));
        while (pending.size() >= chunk) {
            link.OnReceive(U8(pending), chunk);
            pending.remove(0, int(chunk));
        }
    }
    if (!pending.isEmpty())
        link.OnReceive(U8(pending), pending.size());
    return 0;
}

} // namespace

// frame request JSON: Cmd_frame_request.cpp.
int FrameRequest(QStringList args);

int RunFrame(const cli::GlobalOptions &, QStringList args)
{
    using Sub = std::function<int(QStringList)>;
    const std::map<QString, Sub> subcommands = {
        {QStringLiteral("decode"), FrameDecode},
        {QStringLiteral("extract"), FrameExtract},
        {QStringLiteral("request"), FrameRequest},
    };
    if (args.isEmpty() || subcommands.find(args.first()) == subcommands.end())
        return cli::UsageOf("frame");
    const QString sub = args.takeFirst();
    return subcommands.at(sub)(args);
}

int RunPorts(const cli::GlobalOptions &global, QStringList args)
{
    if (!args.isEmpty())
        return cli::UsageOf("ports");
    LsComm::CComPort port;
    port.EnumeratePorts(global.ports);
    const auto &table = port.PortTable();
    for (int i = 0; i < table.size(); ++i) {
        QJsonObject o;
        o.insert(QStringLiteral("index"), i);
        o.insert(QStringLiteral("port"), table[i].location);
        o.insert(QStringLiteral("present"), table[i].present);
        o.insert(QStringLiteral("access"), QLatin1String(LsComm::PortAccessName(table[i].access)));
        o.insert(QStringLiteral("group"), table[i].group);
        if (table[i].access == LsComm::PortAccess::Denied)
            o.insert(QStringLiteral("fix"), LsComm::PortDeniedMessage(table[i].location, table[i].group));
        cli::PrintJson(o);
    }
    return 0;
}
