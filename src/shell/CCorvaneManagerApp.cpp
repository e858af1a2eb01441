#include "shell/CCorvaneManagerApp.h"
#include "base/StringIds.h"
#include "messages/ui/MessageBoxPrompt.h"

#include "base/AppSettings.h"
#include "messages/CMessageHisNew.h"
#include "messages/CUserStore.h"
#include "messages/ui/AccountInput.h"
#include "messages/ui/CLoginDlg.h"
#include "base/HomeFolder.h"
#include "base/StringTable.h"

#include <QDir>

std::optional<StartOptions> ParseStartOptions(const QStringList &args, QString &error)
{
    StartOptions options;
    for (int i = 0; i < args.size(); ++i) {
        const QString &arg = args.at(i);
        const bool hasValue = i + 1 < args.size();
        if (arg == QLatin1String("--home") && hasValue) {
            options.home = QDir(args.at(++i)).absolutePath();
        } else if (arg == QLatin1String("--port") && hasValue) {
            options.ports << args.at(++i);
        } else if (arg == QLatin1String("--demo")) {
            options.demo = true;
        } else {
            const bool needsValue = arg == QLatin1String("--home") || arg == QLatin1String("--port");
            error = needsValue ? QStringLiteral("option %1 needs a value").arg(arg)
                               : QStringLiteral("unknown argument: %1").arg(arg);
            return std::nullopt;
        }
    }
    return options;
}

CCorvaneManagerApp::CCorvaneManagerApp(StartOptions options) : m_options(std::move(options))
{
    m_login = [this](CUserStore &store) {
        CLoginDlg dialog(store, m_prompt);
        return dialog.exec() == QDialog::Accepted;
    };
}

void CCorvaneManagerApp::ShowStartError(const QString &text)
{
    CMessageBoxPrompt boxes(Sid::UserTitle);
    IUserPrompt *prompt = m_prompt ? m_prompt : &boxes;
    prompt->Show(nullptr, PromptIcon::Critical, {}, text);
}

int CCorvaneManagerApp::InitInstance(const QLocale &system)
{
    AppSettings &settings = AppSettings::Instance();
    settings.SetFontCharset(AppSettings::kCharsetAnsi);
    const HomeFolder::Choice home = HomeFolder::ChooseForProgram(m_options.home);
    settings.SetHomeFolder(home.folder);
    if (!home.error.isEmpty()) {
        ShowStartError(LoadStr(Sid::HomeFolderUnusable).arg(home.folder, home.error));
        return 1;
    }
    // Language with its string table and font character set, unit texts, sound alarm.
    settings.LoadStartupSettings(system);
    // The message stores are process-wide and exist before any view writes to them.
    (void)MessageStores::Instance();

    CUserStore &users = CUserStore::Instance();
    users.SetFilePath(settings.UserFilePath());
    (void)users.RemoveLeftoverCopies();
    const UserFileStatus status = users.Load();
    if (status == UserFileStatus::Damaged)
        ShowStartError(UserFileErrorText(status));

    m_loggedIn = m_login(users);
    if (!m_loggedIn)
        return 0;
    // The login dialog has made the account the user of every message-log entry from now on.
    if (!m_mainWindow)
        return 0;
    return m_mainWindow(m_options);
}
