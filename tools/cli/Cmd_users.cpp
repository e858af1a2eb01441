#include "CliCommon.h"

#include "base/AppSettings.h"
#include "messages/CMessageHis.h"
#include "messages/CUserStore.h"
#include "messages/MessageCodec.h"

#include <QFile>
#include <QFileInfo>

namespace {

// Checks that a descrambled message file is made of its optional header (its own name, for the
// monthly files) and whole records only; returns the offset of the first stray byte or -1.
int FirstStrayByte(const QByteArray &text, const QString &fileName)
{
    const QByteArray header = fileName.toLatin1();
    int pos = text.startsWith(header) && fileName.startsWith(QLatin1String("msg")) ? header.size() : 0;
    const QByteArray begin = QByteArray("<") + MessageCodec::kBegin;
    const QByteArray end = MessageCodec::kEnd;
    while (pos < text.size()) {
        if (text.mid(pos, begin.size()) != begin)
            return pos;
        const int stop = text.indexOf(end, pos + begin.size());
        const int nextBegin = text.indexOf(begin, pos + begin.size());
        if (stop < 0 || (nextBegin >= 0 && nextBegin < stop))
            return pos;
        pos = stop + end.size();
    }
    return -1;
}

} // namespace

int RunUsers(const cli::GlobalOptions &, QStringList args)
{
    QString home;
    if (cli::TakeOption(args, QStringLiteral("--home"), home))
        AppSettings::Instance().SetHomeFolder(home);
    if (!args.isEmpty())
        return cli::UsageOf("users");
    CUserStore store;
    store.SetFilePath(AppSettings::Instance().UserFilePath());
    switch (store.Load()) {
    case UserFileStatus::Ok:
        break;
    case UserFileStatus::Damaged:
        return cli::Fail(QStringLiteral("user file damaged (bad size): %1").arg(store.FilePath()));
    default:
        return cli::Fail(QStringLiteral("cannot read the user file %1").arg(store.FilePath()));
    }
    for (int i = 0; i < store.Count(); ++i) {
        cli::PrintJson({{QStringLiteral("index"), i},
                        {QStringLiteral("name"), store.Names().at(i)},
                        {QStringLiteral("type"), store.Type(i)},
                        {QStringLiteral("lastLogin"), i == store.LastLoginIndex()}});
    }
    return 0;
}

int RunMessages(const cli::GlobalOptions &, QStringList args)
{
    if (args.size() != 2 || args.first() != QLatin1String("dump"))
        return cli::UsageOf("messages");
    const QString path = args.at(1);
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return cli::Fail(QStringLiteral("cannot read %1: %2").arg(path, file.errorString()));
    const QString name = QFileInfo(path).fileName();
    const QByteArray text = MessageCodec::Descramble(file.readAll(), MessageCodec::DeriveKey(name), 0);
    const int stray = FirstStrayByte(text, name);
    if (stray >= 0)
        return cli::Fail(
            QStringLiteral("%1 is damaged (unreadable content at byte %2)").arg(path).arg(stray));
    // The records go through the store's own reader, the one the message views use.
    CMessageHis reader;
    reader.SetLoadedText(text);
    for (int pos = 0; (pos = reader.GetNextRecord(pos)) >= 0;) {
        cli::PrintJson({{QStringLiteral("type"), reader.TypeText()},
                        {QStringLiteral("time"), reader.TimeText()},
                        {QStringLiteral("user"), reader.UserText()},
                        {QStringLiteral("event"), reader.EventText()}});
    }
    return 0;
}
