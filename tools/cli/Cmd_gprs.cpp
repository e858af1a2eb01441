// corvane-cli gprs: the GPRS tab without a window. The phone book lives in the receiver's row of
// the node table, each logger's bindings in its own row; the lock writes both into the receiver.
#include "CliCommon.h"
#include "CliSession.h"

#include "base/StringTable.h"
#include "link/AffairReply.h"
#include "link/CUart_CommApp.h"
#include "link/RequestKind.h"
#include "network/CCorvaneBeeNode.h"
#include "network/LinkEventHandler.h"
#include "network/LinkSession.h"
#include "network/NetworkLoader.h"
#include "network/NetworkNotifier.h"
#include "storage/CCorvaneODBC.h"
#include "views/core/GprsRules.h"

#include <QJsonArray>

namespace {

constexpr int kNotConnectedText = 294; // 未有仪器连接到电脑

// The phone book and the logger list as the GPRS tab holds them.
struct Book {
    explicit Book(CCorvaneODBC &db) : editor(theNodeTable(), db), loggers(theNodeTable(), db) {}

    void Load(int receiverId)
    {
        editor.SetReceiverId(receiverId);
        (void)editor.LoadPhoneBook();
        loggers.Reload();
    }
    [[nodiscard]] std::vector<int> LoggerIds() const
    {
        std::vector<int> ids;
        for (int row = 0; row < loggers.rowCount(); ++row)
            ids.push_back(loggers.IdAt(row));
        return ids;
    }

    GprsBookEditor editor;
    GprsLoggerModel loggers;
};

QJsonArray BoundSlots(quint32 mask)
{
    QJsonArray bound;
    for (int k = 0; k < GprsBookEditor::kSlots; ++k) {
        if ((mask >> k) & 1)
            bound.append(k + 1);
    }
    return bound;
}

void PrintBook(const Book &book)
{
    for (int k = 0; k < GprsBookEditor::kSlots; ++k)
        cli::PrintJson(
            {{QStringLiteral("slot"), k + 1}, {QStringLiteral("number"), book.editor.PhoneText(k)}});
    const CCorvaneBeeNode &table = theNodeTable();
    for (int row = 0; row < book.loggers.rowCount(); ++row) {
        const int id = book.loggers.IdAt(row);
        cli::PrintJson({{QStringLiteral("logger"),
                         book.loggers.index(row, GprsLoggerModel::ColNumber).data().toString()},
                        {QStringLiteral("name"), book.loggers.EntryAt(row)->row.name},
                        {QStringLiteral("address"), book.loggers.EntryAt(row)->row.extaddress},
                        {QStringLiteral("id"), id},
                        {QStringLiteral("slots"), BoundSlots(table.GetGprsBindMask(id))}});
    }
    cli::PrintJson({{QStringLiteral("receiver"), book.editor.ReceiverId()},
                    {QStringLiteral("lockWanted"), book.editor.LockWanted()}});
}

// Loads the book for the receiver of the node table; 0, or the exit status of the refusal.
int LoadOffline(CCorvaneODBC &db, Book &book)
{
    const int receiver = GprsBookEditor::ReceiverInDatabase(db);
    if (receiver < 1)
        return cli::Fail(QStringLiteral("the node table holds no receiver: nothing can be edited"));
    book.Load(receiver);
    return 0;
}

// Connects, waits for the receiver's self-check and runs then() inside the event loop; then
// returns false to finish at once. The exit status of the run.
template <typename Then>
int RunConnected(const cli::GlobalOptions &global, cli::Session &session, Book &book, int seconds, Then then)
{
    LinkSession &link = session.Link();
    QObject::connect(&link.Handler(), &LinkEventHandler::recordApplied, [&](const AffairReply &record, int) {
        if (record.type != FrameCodec::Command::SelfCheckResult)
            return;
        // The self-check read the receiver's entries; the rows are what is edited.
        (void)LoadNetworkTable(session.Database(), theNodeTable());
        book.Load(link.State().receiverId);
        if (!then())
            cli::Session::Finish(0);
    });
    return session.Run(global, seconds,
                       QStringLiteral("no answer from the receiver within %1 s").arg(seconds));
}

bool Connects(const cli::GlobalOptions &global)
{
    return global.demo || !global.ports.isEmpty();
}

int Show(const cli::GlobalOptions &global, cli::Session &session, QStringList args)
{
    int seconds = 0;
    if (!cli::TakeSeconds(args, 20, seconds) || !args.isEmpty())
        return cli::UsageOf("gprs");
    Book book(session.Database());
    if (!Connects(global)) {
        if (const int status = LoadOffline(session.Database(), book))
            return status;
    } else if (const int status = RunConnected(global, session, book, seconds, [] { return false; })) {
        return status;
    }
    PrintBook(book);
    return 0;
}

int Phone(CCorvaneODBC &db, const QStringList &args)
{
    bool ok = false;
    const int slot = args.size() == 2 ? args[0].toInt(&ok) - 1 : -1;
    if (!ok || slot < 0 || slot >= GprsBookEditor::kSlots)
        return cli::UsageOf("gprs");
    Book book(db);
    if (const int status = LoadOffline(db, book))
        return status;
    int holder = -1;
    switch (book.editor.EnterPhone(slot, args[1], &holder)) {
    case GprsBookEditor::PhoneEntry::Invalid:
        return cli::Fail(
            QStringLiteral("a phone number has 1 to 15 digits and nothing else: %1").arg(args[1]));
    case GprsBookEditor::PhoneEntry::Duplicate:
        return cli::Fail(GprsBookEditor::DuplicateText(args[1].trimmed()) +
                         QStringLiteral(" (slot %1)").arg(holder + 1));
    case GprsBookEditor::PhoneEntry::Changed:
        // An emptied slot unbinds its loggers; their rows keep the bindings here.
        theNodeTable().ApplyPhoneMask();
        if (!book.editor.WriteBindings(book.LoggerIds()))
            return cli::Fail(
                QStringLiteral("the loggers' bindings could not be written: %1").arg(db.LastError()));
        break;
    case GprsBookEditor::PhoneEntry::Unchanged:
        break;
    }
    PrintBook(book);
    return 0;
}

int Bind(CCorvaneODBC &db, const QStringList &args)
{
    if (args.size() != 2)
        return cli::UsageOf("gprs");
    Book book(db);
    if (const int status = LoadOffline(db, book))
        return status;
    const int id = db.FindNodeIdByAddress(args[0]);
    if (id < 1 || book.loggers.RowOf(id) < 0)
        return cli::Fail(QStringLiteral("no logger with the address %1").arg(args[0]));
    quint32 wanted = 0;
    for (const QString &word : args[1].split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        if (word == QLatin1String("none"))
            continue;
        bool ok = false;
        const int slot = word.toInt(&ok) - 1;
        if (!ok || slot < 0 || slot >= GprsBookEditor::kSlots)
            return cli::UsageOf("gprs");
        if (!(theNodeTable().GetPhoneMask() & (1u << slot)))
            return cli::Fail(
                QStringLiteral("phone slot %1 holds no number: it cannot be bound").arg(slot + 1));
        wanted |= 1u << slot;
    }
    for (int k = 0; k < GprsBookEditor::kSlots; ++k)
        (void)book.editor.SetBinding(id, k, (wanted >> k) & 1);
    if (!book.editor.WriteBindings({id}))
        return cli::Fail(QStringLiteral("the bindings could not be written: %1").arg(db.LastError()));
    PrintBook(book);
    return 0;
}

int Lock(const cli::GlobalOptions &global, cli::Session &session, QStringList args)
{
    constexpr int kUnconfirmed = 3;
    int seconds = 0;
    if (!cli::TakeSeconds(args, 60, seconds) || !args.isEmpty())
        return cli::UsageOf("gprs");
    if (!Connects(global))
        return cli::Fail(LoadStr(kNotConnectedText));
    CCorvaneODBC &db = session.Database();
    Book book(db);
    QObject::connect(&theNodeTable().Notifier(), &NetworkNotifier::gprsLockFinished,
                     [](bool ok) { cli::Session::Finish(ok ? 0 : kUnconfirmed); });
    bool submitted = false;
    const int status = RunConnected(global, session, book, seconds, [&] {
        if (submitted)
            return true;
        submitted = book.editor.WriteBindings(book.LoggerIds()) &&
                    CUart_CommApp::Instance().SubmitCommand(nullptr, RequestKind::GprsLock, 0) == 1;
        if (submitted)
            cli::PrintJson({{QStringLiteral("event"), QStringLiteral("lockStarted")},
                            {QStringLiteral("receiver"), book.editor.ReceiverId()}});
        return submitted;
    });
    if (status == kUnconfirmed)
        return cli::Fail(QStringLiteral("the receiver did not confirm the lock (timed out)"));
    if (status != 0)
        return status;
    if (!submitted)
        return cli::Fail(QStringLiteral("the lock could not be started: %1").arg(db.LastError()));
    cli::PrintJson({{QStringLiteral("event"), QStringLiteral("locked")}});
    PrintBook(book);
    return 0;
}

} // namespace

int RunGprs(const cli::GlobalOptions &global, QStringList args)
{
    if (args.isEmpty())
        return cli::UsageOf("gprs");
    const QString action = args.takeFirst();
    cli::Session session;
    if (const int status = session.Open(global))
        return status;
    if (action == QLatin1String("show"))
        return Show(global, session, args);
    if (action == QLatin1String("phone"))
        return Phone(session.Database(), args);
    if (action == QLatin1String("bind"))
        return Bind(session.Database(), args);
    if (action == QLatin1String("lock"))
        return Lock(global, session, args);
    return cli::UsageOf("gprs");
}
